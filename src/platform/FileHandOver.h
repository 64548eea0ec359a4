#pragma once
// Files handed from a second start to the running copy, over a local socket in the user's
// private runtime folder (beside the instance lock, so only this user can connect).
//
// The second start sends its file names; the running copy answers as soon as it has them
// all and adds them when it can. The sender waits for that answer: a running copy that
// never answers is reported, so a hand-over is never lost silently.
#include <QObject>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

namespace kt {

// "klivatarn.socket" in the runtime folder.
QString handOverSocketPath(const QString& runtimeFolder);

// The running copy's end.
class HandOverServer : public QObject
{
    Q_OBJECT
public:
    explicit HandOverServer(QObject* parent = nullptr);
    ~HandOverServer() override;

    // Listens at `socketPath`, replacing what a copy that died left there (the caller holds
    // the instance lock). Returns an error text, empty on success.
    QString listen(const QString& socketPath);

signals:
    // One start's files, in its order.
    void filesReceived(const QStringList& paths);

private:
    void readRequest(QLocalSocket* socket);

    QLocalServer* m_server;
};

// The second start's end.
struct HandOverResult
{
    enum Status {
        Delivered,  // the running copy has them
        NoListener, // nobody listens (yet): the running copy may still be starting
        Failed      // a listener that did not take them
    } status;
    QString problem; // for NoListener and Failed
};

// Sends `paths` to the copy listening at `socketPath` and waits up to `timeoutMs` for its
// answer. Only a socket of this user is trusted.
HandOverResult sendFiles(const QString& socketPath, const QStringList& paths, int timeoutMs);

} // namespace kt
