// The application object: an exception escaping an event handler is shown to the
// user instead of ending the program.
#pragma once

#include <QApplication>

class TApplication : public QApplication
{
    Q_OBJECT
  public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
