#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;

// The small progress window shown while contacts are read from or written to a contacts folder.
class TfrmReading : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmReading(QWidget *parent = nullptr);

    // Sets the window up for a task: its caption, the folder, how many contacts, the first
    // position text; the progress starts at 0%.
    void prepare(const QString &caption, const QString &location, int count, const QString &position);
    // Position text and progress (0 to 100).
    void setProgress(const QString &position, int percent);

    // The picture of the search image list drawn at the top left.
    int ReadingPicture = 8;

    QLabel *lblLocation = nullptr;
    QLabel *lblCount = nullptr;
    QLabel *lblPosition = nullptr;
    QProgressBar *pgbReading = nullptr;
    QLabel *lblProgress = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *imgPicture = nullptr;
};
