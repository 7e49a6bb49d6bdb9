// The comment entry: five lines of memo that the next data file of a kind carries in its header.
#pragma once

#include <QDialog>

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "app/Variant.h"

class QLabel;
class QLineEdit;
class QPushButton;

// The edit the window runs, apart from its widgets.
class CommentEdit {
  public:
    static constexpr int MaxLen = 60;
    // The status text shown when a forbidden character was removed.
    static const char* const kForbiddenMsg;

    // kind 0..5; false for any other (nothing to edit).
    bool SetKind(const Variant& kind);
    int16_t Kind() const { return kind_; }
    // The kind's lines of CommentTxt.
    std::array<std::string, 5> Lines() const;
    // Stores lines into the kind's lines of CommentTxt.
    void Store(const std::array<std::string, 5>& lines) const;
    // text without ',' and '"', which would break the file's memo item; the apostrophe stays.
    static std::string Clean(const std::string& text, bool& changed);

  private:
    int16_t kind_ = 0;
};

class FrmRem : public QDialog {
    Q_OBJECT
  public:
    // Shows the kind's lines modally under caption with the foot line. DlgResult is -1 after OK (the
    // edited lines are in CommentTxt), else 0 and CommentTxt is unchanged.
    static void Exec(const Variant& kind, const std::string& caption, const std::string& foot);

    // For tests: while set, Exec hands the filled window to the hook instead of running it modally.
    using ShowHook = std::function<void(FrmRem&)>;
    static ShowHook SetShowHook(ShowHook hook);

    ~FrmRem() override;

    // Copies the current kind's lines of CommentTxt into the text boxes.
    void DispComment();

    void CmdOk_Click();
    void CmdCancel_Click();
    void TxtCmt_Change(int index);

    QLabel* Label10 = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* LblFoot = nullptr;
    std::array<QLineEdit*, 5> TxtCmt{};
    QPushButton* CmdOk = nullptr;
    QPushButton* CmdCancel = nullptr;

  private:
    explicit FrmRem(QWidget* parent);
    void Form_Load();

    CommentEdit edit_;
};
