#include "server/HttpFrontend.h"

#include <Poco/Exception.h>
#include <Poco/Net/HTTPRequestHandler.h>
#include <Poco/Net/HTTPRequestHandlerFactory.h>
#include <Poco/Net/HTTPServer.h>
#include <Poco/Net/HTTPServerParams.h>
#include <Poco/Net/HTTPServerRequest.h>
#include <Poco/Net/HTTPServerResponse.h>
#include <Poco/Net/IPAddress.h>
#include <Poco/Net/NameValueCollection.h>
#include <Poco/Net/ServerSocket.h>
#include <Poco/ThreadPool.h>
#include <Poco/URI.h>

#include <algorithm>
#include <cstdio>
#include <istream>
#include <thread>

namespace pt::site {

namespace {

using Poco::Net::HTTPResponse;

// Fields of a query or an application/x-www-form-urlencoded body; the first of repeated
// names. Throws Poco::SyntaxException on a broken %-escape.
std::map<std::string, std::string> FormFields(const std::string& encoded) {
    std::map<std::string, std::string> fields;
    std::size_t start = 0;
    while (start <= encoded.size()) {
        auto end = encoded.find('&', start);
        if (end == std::string::npos) end = encoded.size();
        std::string pair = encoded.substr(start, end - start);
        start = end + 1;
        if (pair.empty()) continue;
        for (char& ch : pair)
            if (ch == '+') ch = ' ';
        const auto eq = pair.find('=');
        std::string name, value;
        Poco::URI::decode(pair.substr(0, eq), name);
        if (eq != std::string::npos) Poco::URI::decode(pair.substr(eq + 1), value);
        fields.emplace(std::move(name), std::move(value));
    }
    return fields;
}

class BadRequest : public std::runtime_error {
public:
    BadRequest(HTTPResponse::HTTPStatus status, const char* what)
        : std::runtime_error(what), m_status(status) {}
    HTTPResponse::HTTPStatus status() const { return m_status; }

private:
    HTTPResponse::HTTPStatus m_status;
};

// A body past the bound is still read and dropped up to this much, so that the client,
// still sending, gets the answer instead of a reset connection; past it the connection
// is closed.
constexpr std::streamsize DrainLimit = 1 << 20;

[[noreturn]] void TooLarge(std::istream& in) {
    in.ignore(DrainLimit);
    throw BadRequest(HTTPResponse::HTTP_REQUEST_ENTITY_TOO_LARGE, "body too large");
}

std::string ReadBody(Poco::Net::HTTPServerRequest& request, std::size_t limit) {
    std::istream& in = request.stream();
    if (request.hasContentLength() &&
        request.getContentLength64() > static_cast<Poco::Int64>(limit)) {
        if (request.getContentLength64() > DrainLimit)
            throw BadRequest(HTTPResponse::HTTP_REQUEST_ENTITY_TOO_LARGE, "body too large");
        TooLarge(in);
    }
    std::string body;
    char buffer[4096];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        body.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (body.size() > limit) TooLarge(in);
    }
    return body;
}

void SendPlain(Poco::Net::HTTPServerResponse& response, HTTPResponse::HTTPStatus status,
               const std::string& text) {
    response.setStatusAndReason(status);
    for (const auto& [name, value] : SecurityHeaders()) response.set(name, value);
    response.setContentType("text/plain; charset=utf-8");
    response.setKeepAlive(false);
    response.sendBuffer(text.data(), text.size());
}

class SiteRequestHandler : public Poco::Net::HTTPRequestHandler {
public:
    SiteRequestHandler(SiteApp& app, const FrontendOptions& options)
        : m_app(app), m_options(options) {}

    void handleRequest(Poco::Net::HTTPServerRequest& request,
                       Poco::Net::HTTPServerResponse& response) override {
        try {
            serve(request, response);
        } catch (const BadRequest& e) {
            if (!response.sent()) SendPlain(response, e.status(), e.what());
        } catch (const Poco::SyntaxException&) {
            if (!response.sent())
                SendPlain(response, HTTPResponse::HTTP_BAD_REQUEST, "malformed request");
        } catch (const std::exception& e) {
            std::fprintf(stderr, "pathtally-site: %s %s failed: %s\n", request.getMethod().c_str(),
                         request.getURI().c_str(), e.what());
            if (!response.sent())
                SendPlain(response, HTTPResponse::HTTP_INTERNAL_SERVER_ERROR, "internal error");
        }
    }

private:
    void serve(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response) {
        SiteRequest site;
        site.method = request.getMethod();
        const Poco::URI uri(request.getURI());  // throws SyntaxException when malformed
        site.path = uri.getPath();
        if (site.path.empty() || site.path.front() != '/')
            throw BadRequest(HTTPResponse::HTTP_BAD_REQUEST, "malformed path");
        site.query = FormFields(uri.getRawQuery());
        site.acceptLanguage = request.get("Accept-Language", "").substr(0, 256);
        site.contentType = request.getContentType();
        Poco::Net::NameValueCollection cookies;
        request.getCookies(cookies);
        for (const auto& [name, value] : cookies) site.cookies.emplace(name, value);
        site.clientAddress = request.clientAddress().host().toString();
        if (std::find(m_options.trustedProxies.begin(), m_options.trustedProxies.end(),
                      site.clientAddress) != m_options.trustedProxies.end()) {
            // The last hop the proxy appended; earlier entries come from the client.
            std::string forwarded = request.get("X-Forwarded-For", "");
            forwarded = forwarded.substr(forwarded.rfind(',') + 1);
            const auto first = forwarded.find_first_not_of(' ');
            const auto last = forwarded.find_last_not_of(' ');
            if (first != std::string::npos) {
                Poco::Net::IPAddress address;
                if (Poco::Net::IPAddress::tryParse(forwarded.substr(first, last - first + 1),
                                                   address))
                    site.clientAddress = address.toString();
            }
        }
        if (site.method == "POST") {
            const std::string body = ReadBody(request, m_options.maxBodyBytes);
            const std::string type = site.contentType.substr(0, site.contentType.find(';'));
            if (type != "application/x-www-form-urlencoded")
                throw BadRequest(HTTPResponse::HTTP_UNSUPPORTED_MEDIA_TYPE,
                                 "forms are sent as application/x-www-form-urlencoded");
            site.form = FormFields(body);
        } else if (request.hasContentLength() && request.getContentLength64() > 0) {
            ReadBody(request, m_options.maxBodyBytes);  // read and ignored, within the bound
        }

        const SiteResponse answer = m_app.handle(site);
        response.setStatusAndReason(static_cast<HTTPResponse::HTTPStatus>(answer.status));
        for (const auto& [name, value] : SecurityHeaders()) response.set(name, value);
        for (const auto& [name, value] : answer.headers) response.add(name, value);
        if (m_options.accessLog || answer.status >= 500 || site.method == "POST") {
            std::printf("%s %s %s -> %d\n", site.clientAddress.c_str(), site.method.c_str(),
                        site.path.c_str(), answer.status);
            std::fflush(stdout);
        }
        if (!answer.filePath.empty()) {
            if (site.method == "HEAD") {
                response.setContentType(answer.contentType);
                response.send();
            } else {
                response.sendFile(answer.filePath, answer.contentType);
            }
            return;
        }
        response.setContentType(answer.contentType);
        if (site.method == "HEAD") {
            response.setContentLength(static_cast<std::streamsize>(answer.body.size()));
            response.send();
            return;
        }
        response.sendBuffer(answer.body.data(), answer.body.size());
    }

    SiteApp& m_app;
    const FrontendOptions& m_options;
};

class HandlerFactory : public Poco::Net::HTTPRequestHandlerFactory {
public:
    HandlerFactory(SiteApp& app, const FrontendOptions& options) : m_app(app), m_options(options) {}
    Poco::Net::HTTPRequestHandler* createRequestHandler(
        const Poco::Net::HTTPServerRequest&) override {
        return new SiteRequestHandler(m_app, m_options);
    }

private:
    SiteApp& m_app;
    FrontendOptions m_options;
};

}  // namespace

HttpFrontend::HttpFrontend(SiteApp& app, FrontendOptions options) {
    const int threads = options.threads < 2 ? 2 : options.threads;
    auto* params = new Poco::Net::HTTPServerParams;
    params->setMaxThreads(threads);
    params->setMaxQueued(options.queued);
    params->setKeepAlive(true);
    params->setMaxKeepAliveRequests(10000);
    params->setKeepAliveTimeout(Poco::Timespan(options.keepAliveTimeout.count(), 0));
    params->setTimeout(Poco::Timespan(options.readTimeout.count(), 0));
    params->setServerName("pathtally-site");
    params->setSoftwareVersion("pathtally-site");
    Poco::Net::ServerSocket socket(Poco::Net::SocketAddress(options.host, options.port), 128);
    m_pool = std::make_unique<Poco::ThreadPool>(2, threads + 1, 60);
    m_server = std::make_unique<Poco::Net::HTTPServer>(new HandlerFactory(app, options), *m_pool,
                                                       socket, params);
    m_server->start();
}

HttpFrontend::~HttpFrontend() {
    stop(std::chrono::milliseconds(0));
}

std::uint16_t HttpFrontend::port() const {
    return m_server->port();
}

void HttpFrontend::stop(std::chrono::milliseconds grace) {
    if (!m_server) return;
    m_server->stop();
    const auto end = std::chrono::steady_clock::now() + grace;
    while (m_server->currentConnections() > 0 && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    m_server->stopAll(true);
    m_pool->joinAll();
    m_server.reset();
}

}  // namespace pt::site
