#pragma once
// TServerFrame: the server page of the settings dialog, which stops the
// coordination server ("shutdown"; the server then tells every client "down").
//
// TTaakFrame: the page "Taken", the automatic jobs as a page without actions:
// its controls read and write nothing (the jobs are the server's own
// configuration).

#include <QFrame>

namespace admin {

class TServerFrame : public QFrame {
    Q_OBJECT
public:
    explicit TServerFrame(QWidget *parent = nullptr);

    void Button1Click();  // "Server stoppen"
};

class TTaakFrame : public QFrame {
    Q_OBJECT
public:
    explicit TTaakFrame(QWidget *parent = nullptr);
};

}  // namespace admin
