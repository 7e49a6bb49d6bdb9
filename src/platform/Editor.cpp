#include "platform/Editor.h"

#include "platform/Paths.h"

#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <cstdlib>

namespace plat {

bool OpenInEditor(const std::string& path)
{
    const QString file = QFileInfo(QString::fromStdString(RealPath(path))).absoluteFilePath();
    for (const char* var : {"VISUAL", "EDITOR"}) {
        const char* value = std::getenv(var);
        if (!value || !*value)
            continue;
        QStringList command = QProcess::splitCommand(QString::fromLocal8Bit(value));
        if (command.isEmpty())
            continue;
        const QString program = command.takeFirst();
        if (QProcess::startDetached(program, command << file))
            return true;
    }
    return QProcess::startDetached(QStringLiteral("xdg-open"), {file});
}

} // namespace plat
