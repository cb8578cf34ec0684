#pragma once
// The small dialog the device remover shows while it works (dialog template 102): a popup with a
// dialog frame and no title bar, 320 by 63 dialog units, the centred text "Remove WLAN Device", and
// icon 128 as its window icon.

#include <QDialog>

namespace dorvane {

inline constexpr int kRemoveDialogId = 102;
inline constexpr int kRemoveDialogIconId = 128;

class RemoveDialog : public QDialog {
  public:
    explicit RemoveDialog(QWidget* parent = nullptr);
};

// Icon 128: a wireless card leaving its slot, drawn at the requested size.
QIcon removeDeviceIcon();

}  // namespace dorvane
