#pragma once

#include <QDialog>

class QTabWidget;

// The about box: the program's name and version, what it does, and where its files live.
class TfrmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmAbout(QWidget *parent = nullptr);

    // Opens modally on the first page.
    int showFirstPage();

private:
    QTabWidget *PageControl = nullptr;
};
