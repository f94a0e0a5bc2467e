#pragma once

#include "platform/WaveFile.h"

#include <QString>
#include <QThread>

// A short-lived thread that plays one ring sound so that the user interface never waits for
// it. Start one with TSoundPlay::start(file) and forget it: it frees itself when its sound
// ends. A newer sound cuts short the one playing. The file name is the thread's own copy, so
// the caller may go on changing its variables.
class TSoundPlay : public QThread
{
    Q_OBJECT

public:
    static void start(const QString &fileName);

    // Threads that have not finished yet.
    static int runningCount();
    // Cuts every sound short and waits up to TIMEOUTMS for the threads to end (program end).
    static bool stopAll(int timeoutMs = 2000);

protected:
    void run() override;

private:
    explicit TSoundPlay(QString fileName);
    ~TSoundPlay() override;

    const QString m_fileName;
    const quint64 m_ticket;
};
