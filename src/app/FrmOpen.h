// The splash window: the title picture for two seconds, or until a key is pressed.
#pragma once

#include <QDialog>

class QLabel;
class QTimer;

class FrmOpen : public QDialog {
  public:
    explicit FrmOpen(QWidget* parent = nullptr);
    ~FrmOpen() override;

    QLabel* Image1;
    QTimer* Timer1;

    void Form_Load();
    void Timer1_Timer();

    static constexpr int kShowMs = 2000;

  protected:
    void keyPressEvent(QKeyEvent* e) override;
};

// Shows the splash modally for showMs (or until a key) and returns when it has closed.
void ShowFrmOpen(int showMs = FrmOpen::kShowMs);
