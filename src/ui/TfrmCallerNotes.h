#pragma once

#include <QWidget>

class QGroupBox;
class QPlainTextEdit;
class QPushButton;

// The caller's whole notes, opened from the notes line of the incoming call window. Edits in
// it are not kept: the notes belong to the contact, which is edited elsewhere.
class TfrmCallerNotes : public QWidget
{
    Q_OBJECT

public:
    explicit TfrmCallerNotes(QWidget *parent = nullptr);

    // Caption := CAPTION, the memo holds LINES one per line; shown without blocking, in front.
    void showNotes(const QString &caption, const QStringList &lines);

    QString notesText() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QGroupBox *m_group = nullptr;
    QPlainTextEdit *memoNotes = nullptr;
    QPushButton *btnClose = nullptr;
};
