// The device remover's dialog, rendered offscreen; the picture is kept for people to look at.

#include "remove_dialog.h"

#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QLabel>

#include <gtest/gtest.h>

namespace {

TEST(RemoveDialog, IsAFramedPopupOf320By63DialogUnitsWithItsCentredText) {
    int argc = 1;
    char name[] = "remove_dialog_test";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);

    dorvane::RemoveDialog dialog;
    EXPECT_EQ(dialog.property("dialogId").toInt(), 102);
    EXPECT_FALSE(dialog.windowFlags().testFlag(Qt::WindowTitleHint));
    EXPECT_FALSE(dialog.windowIcon().isNull());
    const QFontMetrics metrics(dialog.font());
    EXPECT_EQ(dialog.width(), 320 * metrics.averageCharWidth() / 4);
    EXPECT_EQ(dialog.height(), 63 * metrics.height() / 8);
    const auto labels = dialog.findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0]->text(), QStringLiteral("Remove WLAN Device"));
    EXPECT_TRUE(labels[0]->alignment().testFlag(Qt::AlignHCenter));

    dialog.show();
    QDir().mkpath(SCREENS_DIR);
    EXPECT_TRUE(dialog.grab().save(QStringLiteral(SCREENS_DIR "/dorvane_remove_dialog.png")));
    EXPECT_TRUE(
        dorvane::removeDeviceIcon().pixmap(48).save(QStringLiteral(SCREENS_DIR "/dorvane_icon_128.png")));
}

}  // namespace
