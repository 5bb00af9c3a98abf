#pragma once
#include <QPixmap>
#include <QWidget>

// The maker's logo, shown for a moment at start. It closes itself after a while or when it is
// clicked, and never holds up the start-up.
class frmKorvexLogo : public QWidget {
    Q_OBJECT
public:
    static constexpr int kShowMs = 2700;
    static constexpr const char *kSplashFile = "splash.jpg";

    // Uses shared folder + "/splash.jpg" when it exists, else a picture of its own.
    explicit frmKorvexLogo(const QString &sharedFolder, QWidget *parent = nullptr);

    bool showsSplashFile() const { return m_fromFile; }
    // The built-in picture at the given size.
    static QPixmap builtInPicture(const QSize &size);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QPixmap m_picture;
    bool m_fromFile = false;
};

// Shows the logo centred 170 twips above the screen centre and starts its timer; the window
// deletes itself when it closes. Returns at once.
frmKorvexLogo *showLogo(const QString &sharedFolder);
