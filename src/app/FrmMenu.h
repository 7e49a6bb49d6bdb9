// The button panel beside the screens: one button per screen and per setting, forwarding to the main
// window's menu handlers. Its buttons follow the capability mask in force whenever SetEnable runs.
#pragma once

#include <QWidget>

#include <array>
#include <cstdint>

class QPushButton;

class FrmMenu : public QWidget {
    Q_OBJECT

public:
    explicit FrmMenu(QWidget* parent = nullptr);
    ~FrmMenu() override;

    // The loaded panel, or null.
    static FrmMenu* Instance();

    // CmdGo 1 to 8 enabled by the mask in force, CmdModel and CmdAxis shown by it, CmdSetuZoku enabled.
    void SetEnable();

    void CmdGo_Click(int16_t index);
    void CmdAxis_Click();
    void CmdModel_Click();
    void CmdSetuZoku_Click();

private:
    void Form_Load();

    QPushButton* CmdModel = nullptr;
    QPushButton* CmdAxis = nullptr;
    QPushButton* CmdSetuZoku = nullptr;
    std::array<QPushButton*, 10> CmdGo{}; // 1 to 9 used
};
