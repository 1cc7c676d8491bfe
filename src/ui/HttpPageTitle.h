#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>
#include <string>

#include "core/ports/Browser.h"

class QNetworkAccessManager;
class QNetworkReply;

namespace pt {

// A page's title read over plain HTTP, without a browser: the page is fetched with a time
// limit and read up to a size limit, decoded from the character set it declares and its
// <title> taken. A page that cannot be fetched (no answer in time, an HTTP error status)
// or has no title reads as an empty title.
class HttpPageTitle : public QObject, public Browser {
    Q_OBJECT
public:
    struct Limits {
        int timeoutMs = 10000;         // the whole fetch, connection to last byte
        qint64 maxBytes = 512 * 1024;  // more is not read
    };

    explicit HttpPageTitle(QObject* parent = nullptr);
    HttpPageTitle(Limits limits, QObject* parent = nullptr);
    ~HttpPageTitle() override;

    // Starts fetching; a fetch still running is abandoned.
    void navigate(const std::string& url) override;
    // UTF-8; empty until the fetch has ended, and after a failed one.
    std::string title() const override { return m_title.toStdString(); }
    void onTitleChanged(std::function<void(const std::string&)> handler) override;

    bool done() const { return m_done; }
    // The whole page as served (empty when it was cut at the size limit or failed), with
    // its Content-Type, for showing it without fetching it again.
    const QByteArray& wholePage() const { return m_wholePage; }
    const QString& contentType() const { return m_contentType; }
    QString url() const { return m_url; }

signals:
    void finished();

private:
    void onReadyRead();
    void onFinished();
    void finish(const QByteArray& body, bool whole);

    Limits m_limits;
    QNetworkAccessManager* m_network = nullptr;
    QNetworkReply* m_reply = nullptr;
    QByteArray m_body;
    QByteArray m_wholePage;
    QString m_contentType;
    QString m_url;
    QString m_title;
    bool m_done = false;
    std::function<void(const std::string&)> m_titleHandler;
};

}  // namespace pt
