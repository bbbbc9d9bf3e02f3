#include "connection.h"

#include "rules.h"
#include "wire.h"

#include <QHostAddress>

namespace vorlan {

QString hostFromLocation(const QString& location)
{
    QString host = location;
    const qsizetype scheme = host.indexOf(QLatin1String("//"));
    if (scheme >= 0)
        host = host.mid(scheme + 2);
    const qsizetype slash = host.indexOf(QLatin1Char('/'));
    if (slash >= 0)
        host = host.left(slash);
    return host.isEmpty() ? QHostAddress(QHostAddress::LocalHost).toString() : host;
}

Connection::Connection(ProtocolHandler& handler, QObject* parent)
    : QObject(parent), assembler_(handler)
{
    socket_.setObjectName(QStringLiteral("ClientSocket1"));
    connect(&socket_, &QTcpSocket::hostFound, this, [this] {
        if (open_)
            emit lookingUp();
    });
    connect(&socket_, &QTcpSocket::connected, this, [this] {
        if (open_)
            emit connected();
    });
    connect(&socket_, &QTcpSocket::readyRead, this, &Connection::onReadyRead);
    connect(&socket_, &QTcpSocket::disconnected, this, [this] { finish(End::Disconnected); });
    connect(&socket_, &QTcpSocket::errorOccurred, this, &Connection::onError);
}

Connection::~Connection()
{
    socket_.disconnect(this);
    open_ = false;
    socket_.abort();
}

quint16 Connection::port()
{
    bool ok = false;
    const int p = qEnvironmentVariableIntValue(kPortVariable, &ok);
    return ok && p > 0 && p < 65536 ? quint16(p) : quint16(kServerPort);
}

void Connection::open(const QString& host)
{
    if (socket_.state() != QAbstractSocket::UnconnectedState)
        socket_.abort();
    assembler_.reset();
    open_ = true;
    socket_.connectToHost(host, port());
}

void Connection::close()
{
    finish(End::Disconnected);
}

void Connection::closeOnViolation()
{
    finish(End::Error);
}

bool Connection::isActive() const
{
    return open_;
}

qint64 Connection::write(const QByteArray& message)
{
    if (!open_ || socket_.state() != QAbstractSocket::ConnectedState)
        return 0;
    const qint64 n = socket_.write(message);
    return n < 0 ? 0 : n;
}

void Connection::onReadyRead()
{
    if (!open_) {
        socket_.readAll();
        return;
    }
    // Everything available goes to the assembler; it stops the moment a
    // handler has ended the connection, and the rest is dropped.
    const QByteArray block = socket_.readAll();
    assembler_.feed(block);
}

void Connection::onError(QAbstractSocket::SocketError error)
{
    // The server closing the connection is an ordinary disconnection; Qt
    // reports it as an error first.
    if (error == QAbstractSocket::RemoteHostClosedError &&
        socket_.state() != QAbstractSocket::UnconnectedState)
        return;
    finish(error == QAbstractSocket::RemoteHostClosedError ? End::Disconnected : End::Error);
}

void Connection::finish(End how)
{
    if (!open_)
        return;
    open_ = false;
    assembler_.stop();
    socket_.abort();
    emit ended(how);
}

} // namespace vorlan
