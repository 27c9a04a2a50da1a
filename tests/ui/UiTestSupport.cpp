#include "UiTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "core/SpriteBankStore.h"
#include "ui/Form1.h"
#include "ui/tools/FormAbout.h"
#include "ui/tools/FormAnim.h"
#include "ui/tools/FormExportImage.h"
#include "ui/tools/FormExportListing.h"
#include "ui/tools/FormExportSprites.h"
#include "ui/tools/FormImportImage.h"
#include "ui/tools/FormImportSprites.h"
#include "ui/tools/FormObject.h"
#include "ui/tools/FormOnionSkin.h"
#include "ui/tools/FormRipper.h"
#include "ui/tools/FormRotate.h"
#include "ui/tools/FormSequences.h"
#include "ui/tools/FormTextData.h"

namespace uitest
{

QObject* FindOwnChild(const QObject& window, const char* name, const std::function<bool(QObject*)>& ofType)
{
    const QString wanted = QString::fromLatin1(name);
    for (QObject* candidate : window.findChildren<QObject*>(wanted))
    {
        if (!ofType(candidate)) continue;
        bool insideTool = false;
        for (QObject* up = candidate->parent(); up && up != &window; up = up->parent())
            insideTool |= qobject_cast<QDialog*>(up) != nullptr;
        if (!insideTool) return candidate;
    }
    qFatal("No control named %s of the wanted type", name);
    return nullptr;
}

QImage Shown(const QWidget& window, const char* viewName)
{
    auto* view = Child<QWidget>(window, viewName);
    return view->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

namespace
{
Message g_last;

void Poll(const std::shared_ptr<std::function<void(QWidget*)>>& answer, int attempts)
{
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal->isVisible())
    {
        (*answer)(modal);
        return;
    }
    if (attempts <= 0) return;
    QTimer::singleShot(10, [answer, attempts] { Poll(answer, attempts - 1); });
}
} // namespace

void WhenModal(std::function<void(QWidget*)> answer)
{
    auto shared = std::make_shared<std::function<void(QWidget*)>>(std::move(answer));
    QTimer::singleShot(0, [shared] { Poll(shared, 500); });
}

void AnswerMessage(const QString& buttonText)
{
    AnswerMessageThen(buttonText, {});
}

void AnswerMessageThen(const QString& buttonText, std::function<void()> next)
{
    WhenModal(
        [buttonText, next](QWidget* modal)
        {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (!box)
            {
                modal->close();
                return;
            }
            g_last = {box->windowTitle(), box->text(), box->informativeText()};
            if (next) next();
            for (QAbstractButton* button : box->buttons())
            {
                if (button->text().remove(QLatin1Char('&')) == QString(buttonText).remove(QLatin1Char('&')))
                {
                    button->click();
                    return;
                }
            }
            box->reject();
        });
}

Message LastMessage()
{
    return g_last;
}
void ClearLastMessage()
{
    g_last = {};
}

void AnswerFileDialog(const QString& path)
{
    AnswerFileDialogThen(path, {});
}

void AnswerFileDialogThen(const QString& path, std::function<void()> next)
{
    WhenModal(
        [path, next](QWidget* modal)
        {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            if (!dialog)
            {
                modal->close();
                return;
            }
            if (next) next();
            if (path.isEmpty())
            {
                dialog->reject();
                return;
            }
            dialog->selectFile(path);
            QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
        });
}

QStringList ListedNames(QFileDialog* dialog, int expected)
{
    QStringList names;
    auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
    for (int wait = 0; view && wait < 100; ++wait)
    {
        names.clear();
        const QModelIndex root = view->rootIndex();
        for (int row = 0; row < view->model()->rowCount(root); ++row)
            names << view->model()->index(row, 0, root).data().toString();
        if (names.size() >= expected) break;
        QTest::qWait(20);
    }
    names.sort();
    return names;
}

void SetQuantity(TForm1& window, int count)
{
    Child<QLineEdit>(window, "Edit2")->setText(QString::number(count));
    window.Edit2KeyPress(Qt::Key_Return);
}

namespace
{
std::unique_ptr<TForm1> Shown(std::unique_ptr<TForm1> window)
{
    window->show();
    window->activateWindow();
    (void)QTest::qWaitForWindowActive(window.get());
    return window;
}
} // namespace

std::unique_ptr<TForm1> NewWindow(const QStringList& arguments)
{
    return Shown(std::make_unique<TForm1>(arguments));
}

std::unique_ptr<TForm1> NewWindowWithNames(const QList<QByteArray>& arguments)
{
    return Shown(std::make_unique<TForm1>(arguments));
}

bool PlacedAt(const QWidget* tool, QPoint wanted)
{
    const QRect placed = tool->frameGeometry();
    const QRect area = tool->screen()->availableGeometry();
    const QRect target(wanted, placed.size());
    if (area.contains(target)) return placed == target;
    // Moved only along the edges it crossed, and now wholly visible.
    const bool xKept =
        placed.left() == wanted.x() || placed.right() == area.right() || placed.left() == area.left();
    const bool yKept =
        placed.top() == wanted.y() || placed.bottom() == area.bottom() || placed.top() == area.top();
    return area.contains(placed) && xKept && yKept;
}

QString Title(const QWidget& window)
{
    if (const QWindow* handle = window.windowHandle()) return handle->title();
    qFatal("Title: the window %s has not been shown", qPrintable(window.objectName()));
    return {};
}

unsigned Rgb(const QImage& image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFFu;
}

kelmora::RgbaImage WalkerSheet()
{
    std::vector<kelmora::u8> block(kelmora::kBlockBytes, 0);
    kelmora::SpriteBank bank{};
    bank.sprites = block.data();
    if (kelmora::LoadProject(&bank, KELMORA_SOURCE_DIR "/examples/walker.kmd") != 1) return {};
    return kelmora::RenderSheet(bank, 0, bank.spriteCount - 1, 4, 2, kelmora::kBuiltInPalette);
}

void ForEachToolWindow(TForm1& window, const std::function<void(QDialog&)>& check)
{
    TEditorHost& host = window.host();
    window.document().extras.objects = {{"giant", 2, 1, {0, 1}, {2, 3}, {}}};
    window.document().bank.rangeEnd = 3;
    const auto visit = [&check](QDialog&& tool) { check(tool); };
    visit(TFormRotate(host, &window));
    visit(TFormAnim(host, &window));
    visit(TFormRipper(host, &window));
    visit(TFormImport(host, &window));
    visit(TFormExport(host, &window));
    visit(TFormExportListing(host, &window));
    visit(TFormAbout(&window));
    visit(TFormSequences(host, &window));
    visit(TFormOnionSkin(kelmora::OnionSkinOptions{}, &window));
    {
        TFormImportImage import(host, &window);
        import.SetPicture({WalkerSheet()}, QStringLiteral("walker.png"));
        check(import);
    }
    visit(TFormExportImage(host, &window));
    visit(TFormObject(host, &window));
    visit(TFormTextData(QStringLiteral("spritedata.txt"), QByteArray("; sprite 0\n.byte 0,0,0\n"), &window));
}

} // namespace uitest
