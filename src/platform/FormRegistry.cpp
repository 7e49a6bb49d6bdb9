#include "platform/FormRegistry.h"

#include "platform/Paths.h"

#include <QPointer>
#include <QWidget>
#include <algorithm>

namespace plat {
namespace {

struct Entry {
    std::string name;
    QPointer<QWidget> form; // null once the window is gone
};

std::vector<Entry>& Forms()
{
    static std::vector<Entry> forms;
    auto gone = [](const Entry& e) { return e.form.isNull(); };
    forms.erase(std::remove_if(forms.begin(), forms.end(), gone), forms.end());
    return forms;
}

} // namespace

void RegisterForm(const std::string& name, QWidget* form)
{
    if (!form)
        return;
    auto& forms = Forms();
    for (Entry& e : forms) {
        if (e.form == form) {
            e.name = name;
            return;
        }
    }
    forms.push_back({name, form});
}

void UnregisterForm(QWidget* form)
{
    auto& forms = Forms();
    forms.erase(std::remove_if(forms.begin(), forms.end(), [&](const Entry& e) { return e.form == form; }),
                forms.end());
}

bool IsFrmLoad(const std::string& name) { return FindForm(name) != nullptr; }

QWidget* FindForm(const std::string& name)
{
    for (const Entry& e : Forms())
        if (EqualNoCase(e.name, name))
            return e.form;
    return nullptr;
}

std::vector<QWidget*> LoadedForms()
{
    std::vector<QWidget*> out;
    for (const Entry& e : Forms())
        out.push_back(e.form);
    return out;
}

std::vector<std::string> LoadedFormNames()
{
    std::vector<std::string> out;
    for (const Entry& e : Forms())
        out.push_back(e.name);
    return out;
}

} // namespace plat
