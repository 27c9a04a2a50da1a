// An exception escaping an event handler is shown to the user and the program goes on.
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <stdexcept>

#include "UiTestSupport.h"
#include "ui/Application.h"

namespace
{

class Throwing : public QObject
{
  public:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User) throw std::runtime_error("the handler failed");
        return QObject::event(e);
    }
};

} // namespace

class ApplicationTest : public QObject
{
    Q_OBJECT

  private slots:
    void escapingExceptionIsShownAndTheLoopGoesOn()
    {
        Throwing target;
        uitest::ClearLastMessage();
        uitest::AnswerMessage(QStringLiteral("OK"));
        QEvent event(QEvent::User);
        QCOMPARE(QCoreApplication::sendEvent(&target, &event), false);
        QCOMPARE(uitest::LastMessage().title, QStringLiteral("Kelmora"));
        QCOMPARE(uitest::LastMessage().text, QStringLiteral("the handler failed"));

        // Posted events still arrive afterwards.
        bool ran = false;
        QTimer::singleShot(0, [&ran] { ran = true; });
        QTRY_VERIFY(ran);
    }
};

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    ApplicationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "application_test.moc"
