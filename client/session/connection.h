#pragma once

#include "assembler.h"

#include <QObject>
#include <QTcpSocket>

namespace vorlan {

// The one TCP connection to the game server (`ClientSocket1`) with its
// receive assembler. Whatever Qt emits when a connection goes down, each
// connection ends exactly once, as a disconnection or as an error.
class Connection : public QObject
{
    Q_OBJECT

public:
    enum class End
    {
        Disconnected,
        Error
    };

    explicit Connection(ProtocolHandler& handler, QObject* parent = nullptr);
    // Going away ends an open connection silently: nothing is sent and no
    // handler runs, since the owner is going away too.
    ~Connection() override;

    // The port of the game server; VORLAN_PORT overrides it (a test aid).
    static quint16 port();

    // Opens a connection afresh: nothing half-assembled is kept.
    void open(const QString& host);
    // Closes the connection; it ends as a disconnection.
    void close();
    // Closes because the server broke the protocol; it ends as an error.
    void closeOnViolation();

    bool isActive() const;
    // Writes a whole message; returns the number of bytes the socket took.
    qint64 write(const QByteArray& message);

    ReceiveAssembler& assembler() { return assembler_; }
    QTcpSocket& socket() { return socket_; }

signals:
    void lookingUp();
    void connected();
    // The connection has ended; sent once per connection.
    void ended(vorlan::Connection::End how);

private:
    void onReadyRead();
    void onError(QAbstractSocket::SocketError error);
    void finish(End how);

    // The assembler outlives the socket: a socket going down still reports
    // to this object until it is disconnected in the destructor.
    ReceiveAssembler assembler_;
    QTcpSocket socket_;
    bool open_ = false; ///< between open() and the end of that connection
};

// The host part of a location text: after the first "//", before the next
// "/"; empty means the loopback host.
QString hostFromLocation(const QString& location);

} // namespace vorlan
