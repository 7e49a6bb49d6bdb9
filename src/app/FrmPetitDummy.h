// A small window that is only ever opened to find out whether the machine can still create windows:
// some twenty controls and a timer that closes it at once.
#pragma once

#include <QDialog>

class QTimer;

class FrmPetitDummy : public QDialog {
    Q_OBJECT
  public:
    explicit FrmPetitDummy(QWidget* parent = nullptr);

    void TimInit_Timer();

    QTimer* TimInit = nullptr;
};

// The message of a machine short of resources ("Short of the system resources.").
void ShowShortOfResources();
