// What the editor remembers between runs.
#include "ui/Settings.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace settings
{

namespace
{

std::unique_ptr<QSettings>& TheStore()
{
    static std::unique_ptr<QSettings> store;
    return store;
}

const QString kRecentKey = QStringLiteral("recentProjects");

// Moves a window back onto the screen, if its frame leaves it, when it is first shown.
class KeepOnScreenWhenShown : public QObject
{
  public:
    explicit KeepOnScreenWhenShown(QWidget* window) : QObject(window) { window->installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
        {
            auto* window = static_cast<QWidget*>(watched);
            window->move(OnScreen(window->pos(), window->frameGeometry().size()));
            deleteLater();
        }
        return false;
    }
};

QString Absolute(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

void SetStore(std::unique_ptr<QSettings> store)
{
    TheStore() = std::move(store);
}

QSettings* Store()
{
    return TheStore().get();
}

std::unique_ptr<QSettings> NativeStore()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("kelmora"), QStringLiteral("kelmora"));
}

void Forget()
{
    if (!Store()) return;
    Store()->clear();
    Store()->sync();
}

QVariant Value(const QString& key, const QVariant& fallback)
{
    return Store() ? Store()->value(key, fallback) : fallback;
}

void SetValue(const QString& key, const QVariant& value)
{
    if (Store()) Store()->setValue(key, value);
}

QStringList RecentProjects()
{
    QStringList recent = Value(kRecentKey).toStringList();
    recent.removeAll(QString());
    return recent.mid(0, kMaxRecentProjects);
}

void AddRecentProject(const QString& path)
{
    if (path.isEmpty()) return;
    const QString absolute = Absolute(path);
    QStringList recent = RecentProjects();
    recent.removeAll(absolute);
    recent.prepend(absolute);
    SetValue(kRecentKey, recent.mid(0, kMaxRecentProjects));
}

void RemoveRecentProject(const QString& path)
{
    QStringList recent = RecentProjects();
    recent.removeAll(path);
    recent.removeAll(Absolute(path));
    SetValue(kRecentKey, recent);
}

void ClearRecentProjects()
{
    SetValue(kRecentKey, QStringList());
}

QPoint OnScreen(QPoint topLeft, QSize frame)
{
    QScreen* screen = QGuiApplication::screenAt(topLeft);
    if (!screen) screen = QGuiApplication::screenAt(topLeft + QPoint(frame.width(), frame.height()));
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return topLeft;
    const QRect area = screen->availableGeometry();
    QRect wanted(topLeft, frame);
    if (wanted.right() > area.right()) wanted.moveRight(area.right());
    if (wanted.bottom() > area.bottom()) wanted.moveBottom(area.bottom());
    if (wanted.left() < area.left()) wanted.moveLeft(area.left());
    if (wanted.top() < area.top()) wanted.moveTop(area.top());
    return wanted.topLeft();
}

bool RestorePosition(QWidget* window, const QString& key)
{
    const QVariant remembered = Value(QStringLiteral("windows/") + key);
    if (!remembered.canConvert<QPoint>() || remembered.isNull()) return false;
    window->move(OnScreen(remembered.toPoint(), window->frameGeometry().size()));
    // A window not shown yet has no frame: it is checked again once it has one.
    if (!window->isVisible()) new KeepOnScreenWhenShown(window);
    return true;
}

void SavePosition(const QWidget* window, const QString& key)
{
    SetValue(QStringLiteral("windows/") + key, window->pos());
}

} // namespace settings
