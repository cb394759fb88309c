#pragma once
// The "All Regs" page of both panels: one row per register, a Write column of hex-digit edits
// the user types into, a Read column of the chip's values, and "Sync" beside them.

#include "panel_page.h"

#include <QString>

class CRegisterTablePage : public CPanelPage {
    Q_OBJECT
  public:
    static constexpr int kFirstWriteId = 1026; // + row
    static constexpr int kFirstReadId = 1037;  // + row
    static constexpr int kSyncButton = 1048;

    // Row r is the register at address r, named rowLabels[r]. A Read column that is not
    // readOnly takes typing, which "Sync" then copies as it stands.
    CRegisterTablePage(const char *const *rowLabels, int rows, bool readOnly, QWidget *parent);

    int rowCount() const { return m_rows; }

    void OnInitDialog();
    // Read column from the current image.
    void ShowCurrent();
    // Write column from the pending image.
    void ShowPending();
    // Copies every non-empty Read edit, at most two characters, into its Write edit.
    void OnSync();

    QString writeText(int row) const;
    QString readText(int row) const;
    void setWriteText(int row, const QString &text);

  private:
    int m_rows;
};
