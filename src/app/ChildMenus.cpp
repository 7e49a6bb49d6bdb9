#include "app/ChildMenus.h"

#include "app/Mevalo.h"

#include <QAction>
#include <QMenu>

void AddMainItems(QMenu* menu, const char* name, const char* const* captions, int count,
                  void (Mevalo::*handler)(int16_t)) {
    for (int i = 0; i < count; ++i) {
        QAction* a = menu->addAction(QString::fromUtf8(captions[i]));
        a->setObjectName(Mevalo::ItemName(name, i));
        QObject::connect(a, &QAction::triggered, menu, [handler, i] {
            if (Mevalo* m = Mevalo::Instance()) (m->*handler)(static_cast<int16_t>(i));
        });
    }
}

void AddDisplayItems(QMenu* menu, QWidget* screen) {
    AddMainItems(menu, "MnuHyouji", MainText::HyoujiItems, 10, &Mevalo::MnuHyouji_Click);
    QObject::connect(menu, &QMenu::aboutToShow, screen, [screen] {
        if (Mevalo* m = Mevalo::Instance()) m->MnuHyoujiEnable(screen);
    });
}

void AddWindowItems(QMenu* menu) { AddMainItems(menu, "MnuWin", MainText::WinItems, 3, &Mevalo::MnuWin_Click); }
