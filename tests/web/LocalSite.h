#pragma once

#include <QMap>
#include <QObject>
#include <QStringList>
#include <QTcpServer>

namespace pt::test {

// A tiny HTTP server on 127.0.0.1 standing in for the product website: it serves a page
// with a chosen title per path and records every path requested.
class LocalSite : public QObject {
    Q_OBJECT
public:
    LocalSite();
    // "http://127.0.0.1:<port>"; the port stays reserved after stop() is not guaranteed.
    QString root() const;
    quint16 port() const { return m_port; }
    // The page at `path` with this title, on a background of this colour where one is given.
    void setPage(const QString& path, const QString& title, const QString& background = {}) {
        m_titles[path] = title;
        m_backgrounds[path] = background;
    }
    // Stops listening: later requests are refused, as from an unreachable site.
    void stop() { m_server.close(); }

    // Requested paths, favicon requests left out.
    QStringList requests() const;
    int count(const QString& path) const { return requests().count(path); }

private:
    void serve();

    QTcpServer m_server;
    quint16 m_port = 0;
    QMap<QString, QString> m_titles;
    QMap<QString, QString> m_backgrounds;
    QStringList m_requests;
};

}  // namespace pt::test
