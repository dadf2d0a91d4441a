#include "app/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <unistd.h>

namespace {

// The per-user runtime folder when the session has one, else the temporary folder.
QString RuntimeFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return runtime;
    return QDir::tempPath();
}

const char* const kBuffer = "veltaBuffer";

} // namespace

CSingleInstance::CSingleInstance(const QString& instanceName, QObject* parent) : QObject(parent)
{
    const QString name = instanceName + "-" + QString::number(::getuid());
    m_serverName = QDir(RuntimeFolder()).filePath(name);
    m_lock = std::make_unique<QLockFile>(m_serverName + ".lock");
    // A lock whose holder no longer runs is taken over at once.
    m_lock->setStaleLockTime(0);
}

CSingleInstance::~CSingleInstance()
{
    if (m_server)
        m_server->close();
}

bool CSingleInstance::Acquire()
{
    if (!m_lock->tryLock(0)) {
        if (m_lock->error() != QLockFile::LockFailedError)
            return true; // no lock can be made at all: run alone rather than not at all
        return false;
    }
    // The holder of the lock owns the socket name: whatever a killed instance left goes.
    QLocalServer::removeServer(m_serverName);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (m_server->listen(m_serverName))
        connect(m_server, &QLocalServer::newConnection, this, &CSingleInstance::OnConnection);
    return true;
}

void CSingleInstance::OnConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { OnReadable(socket); });
        // A sender that stops half-way is answered FALSE.
        QTimer::singleShot(3000, socket, [socket] {
            if (!socket->property("answered").toBool())
                Answer(socket, 0);
        });
        if (socket->bytesAvailable() > 0)
            OnReadable(socket);
    }
}

void CSingleInstance::OnReadable(QLocalSocket* socket)
{
    if (socket->property("answered").toBool()) {
        socket->readAll();
        return;
    }
    QByteArray buffer = socket->property(kBuffer).toByteArray();
    buffer += socket->readAll();
    socket->setProperty(kBuffer, buffer);
    InstanceMessage message;
    switch (DecodeInstanceMessage(buffer.toStdString(), message)) {
    case MessageState::Incomplete:
        return;
    case MessageState::Invalid:
        Answer(socket, 0);
        return;
    case MessageState::Complete:
        // Answer first: the handler may open boards and show messages for a long time.
        const int result = handler ? handler(message) : 0;
        Answer(socket, result);
        return;
    }
}

void CSingleInstance::Answer(QLocalSocket* socket, int result)
{
    socket->setProperty("answered", true);
    socket->setProperty(kBuffer, QByteArray());
    char reply[4];
    for (int i = 0; i < 4; ++i)
        reply[i] = static_cast<char>((static_cast<unsigned>(result) >> (8 * i)) & 0xFF);
    socket->write(reply, 4);
    socket->flush();
    socket->disconnectFromServer();
}

std::optional<int> CSingleInstance::Send(const InstanceMessage& message, int timeoutMs) const
{
    // The first instance may still be starting: try for a while.
    QLocalSocket socket;
    for (int waited = 0;; waited += 100) {
        socket.connectToServer(m_serverName);
        if (socket.waitForConnected(500))
            break;
        if (waited >= timeoutMs)
            return std::nullopt;
        QThread::msleep(100);
    }
    const std::string bytes = EncodeInstanceMessage(message);
    socket.write(bytes.data(), static_cast<qint64>(bytes.size()));
    if (!socket.waitForBytesWritten(timeoutMs))
        return std::nullopt;
    QByteArray reply;
    while (reply.size() < 4) {
        if (!socket.waitForReadyRead(timeoutMs * 12))
            break;
        reply += socket.readAll();
    }
    if (reply.size() < 4)
        return std::nullopt;
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<std::uint32_t>(static_cast<unsigned char>(reply[i])) << (8 * i);
    return static_cast<int>(v);
}
