// The about box from the Help menu.
#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <memory>

#include "UiTestSupport.h"
#include "kelmora/Version.h"
#include "ui/Form1.h"
#include "ui/tools/FormAbout.h"

namespace
{

QByteArray Block(const TForm1& window)
{
    return QByteArray(reinterpret_cast<const char*>(window.document().bank.sprites), kelmora::kBlockBytes);
}

// Opens the about box from the menu and runs body on it; the box is closed afterwards
// whatever body does. Returns whether it was shown.
bool WithAbout(TForm1& window, const std::function<void(TFormAbout&)>& body)
{
    bool shown = false;
    // A box that never opens must not leave this answer to a later test.
    auto waiting = std::make_shared<bool>(true);
    uitest::WhenModal(
        [&, waiting](QWidget* modal)
        {
            if (!*waiting) return;
            if (auto* about = qobject_cast<TFormAbout*>(modal))
            {
                shown = true;
                body(*about);
            }
            if (modal->isVisible()) modal->close();
        });
    uitest::Child<QAction>(window, "Mnu_About")->trigger();
    *waiting = false;
    return shown;
}

} // namespace

class AboutTest : public QObject
{
    Q_OBJECT

  private slots:
    void showsNameAndVersionAndCloses()
    {
        auto window = uitest::NewWindow();
        window->document().bank.sprites[70] = 0x99;
        window->RefreshAll();
        const QByteArray before = Block(*window);
        const QString title = window->windowTitle();
        const QImage editor = uitest::Shown(*window, "PaintBox_Editor");

        bool closedByOk = false;
        QVERIFY(
            WithAbout(*window,
                      [&](TFormAbout& about)
                      {
                          QCOMPARE(about.windowTitle(), QStringLiteral("About"));
                          QCOMPARE(about.size(), QSize(231, 264));
                          QCOMPARE(about.minimumSize(), about.maximumSize());
                          QCOMPARE(about.geometry().topLeft(), window->geometry().topLeft() + QPoint(80, 20));
                          QVERIFY(about.windowFlags() & Qt::WindowCloseButtonHint);
                          QVERIFY(!(about.windowFlags() &
                                    (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));

                          QCOMPARE(about.Label1->text(), QStringLiteral("Kelmora " KELMORA_VERSION_SHORT));
                          QVERIFY(about.Label1->font().bold());
                          QCOMPARE(about.Label5->text(), QStringLiteral("Commodore 64/128 Sprite Editor"));
                          QVERIFY(!about.Label5->font().bold());
                          // Top to bottom: name, description, line, button; all inside the window.
                          QVERIFY(about.Label1->geometry().bottom() <= about.Label5->geometry().top());
                          QVERIFY(about.Label5->geometry().bottom() < about.Bevel1->geometry().top());
                          QVERIFY(about.Bevel1->geometry().bottom() < about.Button1->geometry().top());
                          QCOMPARE(about.Bevel1->frameShape(), QFrame::HLine);
                          QVERIFY(about.Bevel1->width() > 200);
                          QVERIFY(about.rect().contains(about.Button1->geometry()));
                          QVERIFY(about.Label5->sizeHint().width() <= about.Label5->width());
                          const QRect ok = about.Button1->geometry();
                          QVERIFY(qAbs(ok.center().x() - about.width() / 2) <= 1);
                          QCOMPARE(about.Button1->text(), QStringLiteral("OK"));

                          QTest::mouseClick(about.Button1, Qt::LeftButton);
                          closedByOk = !about.isVisible();
                      }));
        QVERIFY(closedByOk);

        // The close box dismisses it as well.
        bool closedByBox = false;
        QVERIFY(WithAbout(*window,
                          [&](TFormAbout& about)
                          {
                              about.close();
                              closedByBox = !about.isVisible();
                          }));
        QVERIFY(closedByBox);
        QVERIFY(!window->findChild<TFormAbout*>());

        QCOMPARE(Block(*window), before);
        QCOMPARE(window->windowTitle(), title);
        QCOMPARE(uitest::Shown(*window, "PaintBox_Editor"), editor);
        QCOMPARE(window->document().bank.spriteCount, 32);
    }
};

QTEST_MAIN(AboutTest)
#include "about_test.moc"
