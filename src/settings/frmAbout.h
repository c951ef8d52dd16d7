#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The about box ("プログラム情報"), which is also the start-up splash.
class TFormAbout : public QDialog
{
    Q_OBJECT

public:
    enum class TMode { About, Splash };
    explicit TFormAbout(TMode mode, QWidget *parent = nullptr);

    TMode mode() const { return m_mode; }

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    TMode m_mode;
    QLabel *m_version = nullptr;
    QPushButton *m_ok = nullptr;
};
