#pragma once
// The logo area: the program's logo at (0, 5), shrunk by 1.8 (223 x 43 for the 403 x 79 logo).

#include <QImage>
#include <QWidget>

// The logo carried in the program's resources; null when it cannot be decoded.
QImage LoadLogo();

class LogoView : public QWidget {
    Q_OBJECT
  public:
    explicit LogoView(QWidget *parent = nullptr);
    void setLogo(const QImage &logo);

    // Where the logo is drawn: (0, 5), each side divided by 1.8 and truncated.
    static QRect LogoRect(QSize logoSize);

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    QImage m_logo;
};
