// An exception escaping an event handler is shown to the user and the program goes on.
#include <QMessageBox>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <stdexcept>

#include <unistd.h>

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

    void startupFailureIsReportedOnStandardErrorAndInABox()
    {
        QTemporaryFile captured;
        QVERIFY(captured.open());
        std::fflush(stderr);
        const int saved = ::dup(STDERR_FILENO);
        QVERIFY(::dup2(captured.handle(), STDERR_FILENO) >= 0);
        uitest::ClearLastMessage();
        uitest::AnswerMessage(QStringLiteral("OK"));
        TApplication::ReportFailure(QStringLiteral("no memory for the window"));
        std::fflush(stderr);
        ::dup2(saved, STDERR_FILENO);
        ::close(saved);

        QCOMPARE(uitest::LastMessage().title, QStringLiteral("Kelmora"));
        QCOMPARE(uitest::LastMessage().text, QStringLiteral("no memory for the window"));
        captured.seek(0);
        QCOMPARE(captured.readAll(), QByteArray("kelmora: no memory for the window\n"));
    }
};

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    ApplicationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "application_test.moc"
