// The application object: an exception escaping an event handler is shown to the
// user instead of ending the program.
#pragma once

#include <QApplication>
#include <QByteArray>
#include <QList>
#include <QString>

class TApplication : public QApplication
{
    Q_OBJECT
  public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    // The arguments after the program name, as the system gave them (those of the toolkit
    // already taken out): file names keep their bytes even when they are no valid text.
    QList<QByteArray> fileArguments() const;

    // Reports a failure that ended the start-up: on standard error, and in a message box
    // captioned "Kelmora".
    static void ReportFailure(const QString& text);

  private:
    int m_argc;
    char** m_argv;
};
