#include "LocalSite.h"

#include <QTcpSocket>

namespace pt::test {

LocalSite::LocalSite() {
    m_server.listen(QHostAddress::LocalHost, 0);
    m_port = m_server.serverPort();
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                // Wait for the whole request head; the engine sends no body with GET.
                if (!socket->peek(16384).contains("\r\n\r\n")) return;
                const QByteArray head = socket->readAll();
                const QList<QByteArray> line = head.left(head.indexOf("\r\n")).split(' ');
                const QString path = line.size() > 1 ? QString::fromUtf8(line[1]) : QString();
                m_requests << path;
                QByteArray body, status = "200 OK";
                if (m_titles.contains(path)) {
                    body = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" +
                           m_titles[path].toUtf8() + "</title></head><body" +
                           (m_backgrounds[path].isEmpty()
                                ? QByteArray()
                                : " style=\"background:" + m_backgrounds[path].toUtf8() + "\"") +
                           "><p>" + path.toUtf8() + "</p></body></html>";
                } else {
                    status = "404 Not Found";
                    body = "<html><head><title>Not found</title></head></html>";
                }
                socket->write("HTTP/1.1 " + status +
                              "\r\nContent-Type: text/html; charset=utf-8\r\n"
                              "Cache-Control: no-store\r\nConnection: close\r\n"
                              "Content-Length: " +
                              QByteArray::number(body.size()) + "\r\n\r\n" + body);
                socket->disconnectFromHost();
            });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

QString LocalSite::root() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(m_port);
}

QStringList LocalSite::requests() const {
    QStringList paths;
    for (const QString& p : m_requests)
        if (!p.startsWith(QLatin1String("/favicon"))) paths << p;
    return paths;
}

}  // namespace pt::test
