#include "FileHandOver.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <sys/stat.h>
#include <unistd.h>

namespace kt {
namespace {

struct HandOver
{
    Q_DECLARE_TR_FUNCTIONS(kt::HandOver)
};

// The request: this word, then the names; the answer: the number of names taken.
constexpr quint32 kRequestMagic = 0x4b54484f; // "KTHO"
constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_0;

} // namespace

QString handOverSocketPath(const QString& runtimeFolder)
{
    return runtimeFolder + QStringLiteral("/klivatarn.socket");
}

HandOverServer::HandOverServer(QObject* parent) : QObject(parent), m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            readRequest(socket); // what arrived with the connection
        }
    });
}

HandOverServer::~HandOverServer() = default;

QString HandOverServer::listen(const QString& socketPath)
{
    QLocalServer::removeServer(socketPath);
    if (m_server->listen(socketPath))
        return {};
    return m_server->errorString();
}

void HandOverServer::readRequest(QLocalSocket* socket)
{
    QDataStream in(socket);
    in.setVersion(kStreamVersion);
    in.startTransaction();
    quint32 magic = 0;
    QStringList paths;
    in >> magic >> paths;
    if (!in.commitTransaction())
        return; // not all there yet
    if (magic != kRequestMagic) {
        socket->abort();
        return;
    }
    disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
    QDataStream out(socket);
    out.setVersion(kStreamVersion);
    out << quint32(paths.size());
    socket->flush();
    socket->disconnectFromServer(); // after the answer is written
    emit filesReceived(paths);
}

HandOverResult sendFiles(const QString& socketPath, const QStringList& paths, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    struct stat st
    {
    };
    if (::lstat(QFile::encodeName(socketPath).constData(), &st) != 0)
        return {HandOverResult::NoListener, HandOver::tr("no listener at '%1'").arg(socketPath)};
    if (!S_ISSOCK(st.st_mode) || st.st_uid != ::getuid())
        return {HandOverResult::Failed, HandOver::tr("'%1' is not a socket of this user").arg(socketPath)};

    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(int(deadline.remainingTime()))) {
        const bool nobody = socket.error() == QLocalSocket::ConnectionRefusedError ||
                            socket.error() == QLocalSocket::ServerNotFoundError;
        return {nobody ? HandOverResult::NoListener : HandOverResult::Failed, socket.errorString()};
    }
    QDataStream out(&socket);
    out.setVersion(kStreamVersion);
    out << kRequestMagic << paths;
    QDataStream in(&socket);
    in.setVersion(kStreamVersion);
    quint32 taken = 0;
    while (true) {
        in.startTransaction();
        in >> taken;
        if (in.commitTransaction())
            break;
        if (socket.state() != QLocalSocket::ConnectedState ||
            !(socket.bytesToWrite() > 0 ? socket.waitForBytesWritten(int(deadline.remainingTime()))
                                        : socket.waitForReadyRead(int(deadline.remainingTime())))) {
            const QString why =
                deadline.hasExpired()
                    ? HandOver::tr("no answer within %1 seconds").arg((timeoutMs + 999) / 1000)
                    : HandOver::tr("it closed the connection without an answer");
            return {HandOverResult::Failed, why};
        }
    }
    if (taken != quint32(paths.size()))
        return {HandOverResult::Failed, HandOver::tr("it took %1 of %2 files").arg(taken).arg(paths.size())};
    return {HandOverResult::Delivered, {}};
}

} // namespace kt
