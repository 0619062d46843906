// Handlers for the reader's tests: they write down what the reader tells
// them, and files and captures the tests need around a parse.
#ifndef ZVXML_TESTS_PLATFORM_SAX_RECORDER_H
#define ZVXML_TESTS_PLATFORM_SAX_RECORDER_H

#include "foundation/utf8.h"
#include "platform/sax_reader.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace zvtest {

using ZVXML::platform::SaxAttributes;
using ZVXML::platform::SaxContentHandler;
using ZVXML::platform::SaxErrorHandler;
using ZVXML::platform::SaxLocator;

// Events as lines: "start {uri}local qname", "text ...", "end {uri}local qname".
// Consecutive pieces of text are joined into one line; `pieces` counts them.
class Recorder : public SaxContentHandler {
public:
    std::vector<std::wstring> events;
    std::size_t pieces = 0;
    // Attributes whose values start events record too, as " name=value".
    std::vector<std::wstring> watched;

    void StartElement(const std::wstring& uri, const std::wstring& local, const std::wstring& qname,
                      const SaxAttributes& attributes) override
    {
        std::wstring line = L"start {" + uri + L"}" + local + L" " + qname;
        for (const std::wstring& name : watched) {
            std::wstring value;
            if (attributes.GetValue(name.c_str(), value)) {
                line += L" " + name + L"=" + value;
            }
        }
        events.push_back(line);
        m_inText = false;
    }
    void EndElement(const std::wstring& uri, const std::wstring& local, const std::wstring& qname) override
    {
        events.push_back(L"end {" + uri + L"}" + local + L" " + qname);
        m_inText = false;
    }
    void Characters(const wchar_t* text, std::size_t length) override
    {
        ++pieces;
        if (m_inText) {
            events.back().append(text, length);
        } else {
            events.push_back(L"text " + std::wstring(text, length));
        }
        m_inText = true;
    }
    // All text, joined.
    std::wstring Text() const
    {
        std::wstring all;
        for (const std::wstring& line : events) {
            if (line.compare(0, 5, L"text ") == 0) {
                all += line.substr(5);
            }
        }
        return all;
    }

private:
    bool m_inText = false;
};

struct ReportedError {
    long line;
    long column;
    std::wstring message;
};

class ErrorRecorder : public SaxErrorHandler {
public:
    explicit ErrorRecorder(long answer = 0) : m_answer(answer) {}
    std::vector<ReportedError> errors;

    long FatalError(const SaxLocator& locator, const std::wstring& message) override
    {
        errors.push_back(ReportedError{locator.line, locator.column, message});
        return m_answer;
    }

private:
    long m_answer;
};

// A file in the temporary folder, removed when the test ends.
class TempFile {
public:
    explicit TempFile(const std::string& name, const std::string& bytes = std::string())
        : m_path(std::filesystem::temp_directory_path() /
                 ("zvxml_sax_" + std::to_string(::getpid()) + "_" + name))
    {
        std::ofstream(m_path, std::ios::binary) << bytes;
    }
    ~TempFile() { std::filesystem::remove(m_path); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // Paths are UTF-8 bytes whatever the locale.
    std::wstring WidePath() const { return ZVXML::Utf8ToWide(m_path.string()); }

private:
    std::filesystem::path m_path;
};

// Captures what is written to file descriptor 2 while it lives.
class StderrCapture {
public:
    StderrCapture() : m_file(std::tmpfile())
    {
        std::fflush(stderr);
        m_saved = ::dup(2);
        ::dup2(::fileno(m_file), 2);
    }
    ~StderrCapture()
    {
        Restore();
        std::fclose(m_file);
    }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    std::string Text()
    {
        Restore();
        std::string text;
        std::rewind(m_file);
        for (int c; (c = std::fgetc(m_file)) != EOF;) {
            text.push_back(static_cast<char>(c));
        }
        return text;
    }

private:
    void Restore()
    {
        if (m_saved >= 0) {
            std::fflush(stderr);
            ::dup2(m_saved, 2);
            ::close(m_saved);
            m_saved = -1;
        }
    }
    std::FILE* m_file;
    int m_saved = -1;
};

// A server on a free local port that would see any connection made to it.
class LocalServer {
public:
    LocalServer() : m_socket(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_socket, 4);
        socklen_t size = sizeof address;
        ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &size);
        m_port = ntohs(address.sin_port);
    }
    ~LocalServer() { ::close(m_socket); }
    LocalServer(const LocalServer&) = delete;
    LocalServer& operator=(const LocalServer&) = delete;

    // "http://127.0.0.1:<port>"
    std::wstring Url() const { return L"http://127.0.0.1:" + std::to_wstring(m_port); }
    bool WasContacted() const
    {
        const int connection = ::accept(m_socket, nullptr, nullptr);
        if (connection >= 0) {
            ::close(connection);
            return true;
        }
        return errno != EAGAIN && errno != EWOULDBLOCK;
    }

private:
    int m_socket;
    unsigned m_port = 0;
};

} // namespace zvtest

#endif
