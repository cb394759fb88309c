#pragma once
// CTCEdit: the one-line edit for typed register values. Only keystrokes that can form a
// hexadecimal number get in (0-9, a-f, A-F and backspace); keys that type nothing (arrows,
// Delete, Home, End) work as in any edit. Text dropped with the mouse is taken only when every
// character of it would have been let through typed. Text set by the program passes unfiltered.

#include <QLineEdit>

class CTCEdit : public QLineEdit {
    Q_OBJECT
  public:
    enum class Mode { Hex };

    explicit CTCEdit(QWidget *parent = nullptr, Mode mode = Mode::Hex);

    Mode mode() const { return m_mode; }

    // Letters typed, pasted or set are shown in upper case (the register edits all are).
    void setUpperCase(bool upper);

    // The keystroke filter: true for a character that may reach the edit.
    static bool AcceptsCharacter(char16_t code);
    // True for text that holds nothing but hex digits (and is not empty).
    static bool AcceptsText(const QString &text);

  protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

  private:
    Mode m_mode;
    bool m_upperCase = false;
};
