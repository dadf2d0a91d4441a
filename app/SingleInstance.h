#pragma once
// One running program per user: the first start holds a lock file and listens on a local socket;
// later starts send their one message there and end.

#include "app/InstanceMessage.h"

#include <QLockFile>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QLocalServer;
class QLocalSocket;

class CSingleInstance : public QObject
{
    Q_OBJECT

public:
    // `instanceName` is the product name followed by " Class"; the user's id is added.
    explicit CSingleInstance(const QString& instanceName, QObject* parent = nullptr);
    ~CSingleInstance() override;

    // True when this is the first instance: the lock is held and the server listens. A lock or
    // socket left by a killed instance does not count.
    bool Acquire();
    // Sends one message to the first instance and waits for its answer; none when no instance
    // answers.
    std::optional<int> Send(const InstanceMessage& message, int timeoutMs = 5000) const;

    // Answers a message of a later start (TRUE 1, FALSE 0).
    std::function<int(const InstanceMessage&)> handler;

    QString ServerName() const { return m_serverName; }

private:
    void OnConnection();
    void OnReadable(QLocalSocket* socket);
    static void Answer(QLocalSocket* socket, int result);

    QString m_serverName;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr; // owned as a child
};
