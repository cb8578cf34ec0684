// dorvane: removes the adapter's device nodes for the uninstallation. It shows its small dialog
// while it works, and works the same without a display (then without the dialog). Its diagnostics
// go to standard output.

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "device_remover.h"
#include "remove_dialog.h"

namespace {

bool displayAvailable() {
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (!displayAvailable()) {
        dorvane::removeAdapterDevices(stdout);
        return 0;
    }
    QApplication application(argc, argv);
    dorvane::RemoveDialog dialog;
    // The removal runs as soon as the dialog is up; the dialog then closes itself with OK.
    QTimer::singleShot(0, &dialog, [&dialog] {
        dorvane::removeAdapterDevices(stdout);
        std::fflush(stdout);
        dialog.accept();
    });
    dialog.exec();
    return 0;
}
