#include "SysInfo.h"

#include "platform/MessageBox.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace kt {

namespace {
const QString kMsInfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kToolsLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
constexpr int kValueBufferSize = 1024;

// The text of a value: a string as stored (without its final NUL); a DWORD as decimal
// text. Other types give nullopt.
std::optional<QString> regValueText(const RegValue& value)
{
    QByteArray data = value.data.left(kValueBufferSize);
    if (value.type == RegSz) {
        if (data.endsWith('\0'))
            data.chop(1);
        return QString::fromLocal8Bit(data);
    }
    if (value.type == RegDword) {
        // The bytes from last to first, each in hex without leading zeros, read as one
        // hexadecimal number.
        QString hex;
        for (qsizetype i = data.size() - 1; i >= 0; --i)
            hex += QString::number(quint8(data.at(i)), 16);
        bool ok = false;
        const quint64 number = hex.toULongLong(&ok, 16);
        return ok ? QString::number(number) : QString();
    }
    return std::nullopt;
}
} // namespace

QString sysInfoUnavailableText()
{
    return QCoreApplication::translate("kt::About", "System Information Is Unavailable At This Time");
}

bool GetKeyValue(SysInfoProbe& probe, RegRoot root, const QString& key, const QString& name, QString& value)
{
    const auto raw = probe.queryValue(root, key, name);
    if (!raw) {
        value.clear();
        return false;
    }
    if (const auto text = regValueText(*raw))
        value = *text;
    return true;
}

void StartSysInfo(SysInfoProbe& probe)
{
    QString path;
    if (GetKeyValue(probe, RegRoot::LocalMachine, kMsInfoKey, QStringLiteral("PATH"), path) &&
        !path.isEmpty() && probe.startProgram(path))
        return;
    if (GetKeyValue(probe, RegRoot::LocalMachine, kToolsLocationKey, QStringLiteral("MSINFO"), path)) {
        const QString program = path + QStringLiteral("/MSINFO32.EXE");
        if (probe.fileExists(program) && probe.startProgram(program))
            return;
    }
    MsgBox(sysInfoUnavailableText(), MB_OK | MB_TOPMOST);
}

DesktopSysInfoProbe::DesktopSysInfoProbe(QStringList searchPaths, QString currentDesktop,
                                         QList<SysInfoTool> tools)
    : m_searchPaths(std::move(searchPaths)), m_tools(searchOrder(tools, currentDesktop))
{
}

QList<SysInfoTool> DesktopSysInfoProbe::defaultTools()
{
    const QString gnome = QStringLiteral("GNOME");
    const QString kde = QStringLiteral("KDE");
    const QString xfce = QStringLiteral("XFCE");
    return {
        // GNOME Settings, "About" panel (the system summary)
        {gnome, QStringLiteral("gnome-control-center"), {QStringLiteral("info-overview")}},
        // KDE Plasma's Info Center
        {kde, QStringLiteral("kinfocenter"), {}},
        // Xfce's About window, whose System tab describes the machine
        {xfce, QStringLiteral("xfce4-about"), {}},
        // System profilers of no particular desktop
        {{}, QStringLiteral("hardinfo2"), {}},
        {{}, QStringLiteral("hardinfo"), {}},
    };
}

QList<SysInfoTool> DesktopSysInfoProbe::searchOrder(const QList<SysInfoTool>& tools,
                                                    const QString& currentDesktop)
{
    // Another desktop's tool works but looks foreign, so the neutral profilers come first.
    const QStringList desktops = currentDesktop.toUpper().split(QLatin1Char(':'), Qt::SkipEmptyParts);
    QList<SysInfoTool> own, neutral, foreign;
    for (const SysInfoTool& tool : tools) {
        if (tool.desktop.isEmpty())
            neutral.append(tool);
        else
            (desktops.contains(tool.desktop.toUpper()) ? own : foreign).append(tool);
    }
    return own + neutral + foreign;
}

std::optional<SysInfoTool> DesktopSysInfoProbe::findTool() const
{
    for (const SysInfoTool& tool : m_tools) {
        const QString found = QStandardPaths::findExecutable(tool.program, m_searchPaths);
        if (!found.isEmpty())
            return SysInfoTool{tool.desktop, found, tool.arguments};
    }
    return std::nullopt;
}

std::optional<RegValue> DesktopSysInfoProbe::queryValue(RegRoot root, const QString& key, const QString& name)
{
    if (root != RegRoot::LocalMachine || key != kMsInfoKey || name != QLatin1String("PATH"))
        return std::nullopt;
    const auto tool = findTool();
    if (!tool)
        return std::nullopt;
    m_arguments.insert(tool->program, tool->arguments);
    return RegValue{RegSz, tool->program.toLocal8Bit() + '\0'};
}

bool DesktopSysInfoProbe::fileExists(const QString& path)
{
    return QFileInfo(path).isFile();
}

bool DesktopSysInfoProbe::startProgram(const QString& path)
{
    return QProcess::startDetached(path, m_arguments.value(path));
}

SysInfoProbe& sysInfoProbe()
{
    static DesktopSysInfoProbe desktop;
    return desktop;
}

} // namespace kt
