#pragma once
// "All Regs" page: every register as two hex digits, a Write column the user types into and
// a Read column of the chip's values.

#include "tz410_page.h"

class TZ410ALLDlg : public TZ410Page {
    Q_OBJECT
  public:
    static constexpr int kFirstWriteId = 1026; // + address
    static constexpr int kFirstReadId = 1037;  // + address
    static constexpr int kSyncButton = 1048;

    explicit TZ410ALLDlg(QWidget *parent = nullptr);

    void OnInitDialog();
    // Read column from the current image.
    void ShowCurrent();
    // Write column from the pending image.
    void ShowPending();
    // Copies every non-empty Read edit into its Write edit.
    void OnSync();

    QString writeText(int address) const;
    QString readText(int address) const;
    void setWriteText(int address, const QString &text);
};
