#include "ui/HttpPageTitle.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringDecoder>
#include <QTimer>
#include <QUrl>

#include "core/online/HtmlPage.h"

namespace pt {

namespace {

// The page as text: in the character set it declares when Qt knows that set (GBK, Big5
// and the like through ICU), UTF-8 otherwise.
QString DecodePage(const QByteArray& body, const QString& contentType) {
    const std::string charset =
        DeclaredCharset(contentType.toStdString(), std::string_view(body.data(), body.size()));
    QStringDecoder decoder(charset.empty() ? "utf-8" : charset.c_str());
    if (!decoder.isValid()) decoder = QStringDecoder(QStringDecoder::Utf8);
    return decoder.decode(body);
}

}  // namespace

HttpPageTitle::HttpPageTitle(QObject* parent) : HttpPageTitle(Limits{}, parent) {}

HttpPageTitle::HttpPageTitle(Limits limits, QObject* parent) : QObject(parent), m_limits(limits) {}

HttpPageTitle::~HttpPageTitle() {
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
    }
}

void HttpPageTitle::onTitleChanged(std::function<void(const std::string&)> handler) {
    m_titleHandler = std::move(handler);
}

void HttpPageTitle::navigate(const std::string& url) {
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
        m_reply = nullptr;
    }
    m_url = QString::fromStdString(url);
    m_body.clear();
    m_wholePage.clear();
    m_contentType.clear();
    m_title.clear();
    m_done = false;
    if (!m_network) m_network = new QNetworkAccessManager(this);
    QNetworkRequest request{QUrl::fromUserInput(m_url)};
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, &HttpPageTitle::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &HttpPageTitle::onFinished);
    // A deadline for the whole fetch: a server that answers nothing, or drips its page,
    // ends the same way as an unreachable one.
    QNetworkReply* reply = m_reply;
    QTimer::singleShot(m_limits.timeoutMs, this, [this, reply] {
        if (m_reply == reply && !m_done) finish({}, false);
    });
}

void HttpPageTitle::onReadyRead() {
    if (!m_reply || m_done) return;
    m_body += m_reply->read(m_limits.maxBytes - m_body.size());
    if (m_body.size() >= m_limits.maxBytes) {
        // Enough: the title of any sensible page is in its head.
        m_contentType = m_reply->header(QNetworkRequest::ContentTypeHeader).toString();
        finish(m_body, false);
    }
}

void HttpPageTitle::onFinished() {
    if (!m_reply || m_done) return;
    if (m_reply->error() != QNetworkReply::NoError) {  // 404 and the like included
        finish({}, false);
        return;
    }
    m_body += m_reply->read(m_limits.maxBytes - m_body.size());
    m_contentType = m_reply->header(QNetworkRequest::ContentTypeHeader).toString();
    finish(m_body, m_reply->atEnd());
}

void HttpPageTitle::finish(const QByteArray& body, bool whole) {
    m_done = true;
    if (m_reply) {
        QNetworkReply* reply = m_reply;
        m_reply = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    if (!body.isEmpty()) {
        const QByteArray utf8 = DecodePage(body, m_contentType).toUtf8();
        if (auto title = HtmlTitle(std::string_view(utf8.data(), utf8.size())))
            m_title = QString::fromStdString(*title);
    }
    if (whole) m_wholePage = body;
    m_body.clear();
    emit finished();
    if (m_titleHandler && !m_title.isEmpty()) m_titleHandler(m_title.toStdString());
}

}  // namespace pt
