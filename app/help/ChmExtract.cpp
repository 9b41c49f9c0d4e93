#include "app/help/ChmExtract.h"

#include <QDeadlineTimer>
#include <QtEndian>

#include <cerrno>
#include <chm_lib.h>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr quint32 MaxPathLength = 4096;
constexpr int RecordHeader = 4 + 8; // path length, object length

int collectPath(chmFile *, chmUnitInfo *info, void *context)
{
    static_cast<std::vector<std::string> *>(context)->emplace_back(info->path);
    return CHM_ENUMERATOR_CONTINUE;
}

bool writeAll(int fd, const void *data, size_t size)
{
    const auto *p = static_cast<const char *>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        size -= size_t(n);
    }
    return true;
}

// One object as the child sends it; false when chmlib cannot give it whole.
bool retrieve(chmFile *handle, const std::string &path, std::vector<unsigned char> &bytes)
{
    chmUnitInfo info;
    if (chm_resolve_object(handle, path.c_str(), &info) != CHM_RESOLVE_SUCCESS)
        return false;
    bytes.resize(size_t(info.length));
    LONGUINT64 done = 0;
    // chmlib hands out at most one compressed block per call.
    while (done < info.length) {
        const LONGINT64 got =
            chm_retrieve_object(handle, &info, bytes.data() + done, done, LONGINT64(info.length - done));
        if (got <= 0)
            return false;
        done += LONGUINT64(got);
    }
    return true;
}

// The child: only chmlib, the C++ library and system calls, never Qt.
[[noreturn]] void runChild(int fd, const char *fileName, qint64 maxTotalSize)
{
    // A crash here just ends the child, without the parent's crash handlers.
    for (const int crash : {SIGSEGV, SIGFPE, SIGBUS, SIGILL, SIGABRT})
        ::signal(crash, SIG_DFL);
    chmFile *handle = chm_open(fileName);
    if (!handle)
        _exit(1);
    std::vector<std::string> paths;
    chm_enumerate(handle, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, collectPath, &paths);
    std::vector<unsigned char> bytes;
    qint64 total = 0;
    for (const std::string &path : paths) {
        if (path.size() > MaxPathLength || !retrieve(handle, path, bytes))
            continue; // an object chmlib cannot read is left out
        total += RecordHeader + qint64(path.size()) + qint64(bytes.size());
        if (total > maxTotalSize)
            _exit(2);
        char header[RecordHeader];
        qToLittleEndian(quint32(path.size()), header);
        qToLittleEndian(quint64(bytes.size()), header + 4);
        if (!writeAll(fd, header, sizeof header) || !writeAll(fd, path.data(), path.size()) ||
            !writeAll(fd, bytes.data(), bytes.size()))
            _exit(3);
    }
    chm_close(handle);
    _exit(0);
}

// Everything the child sends, until it closes the pipe; false past the limit
// or the time.
bool readStream(int fd, QByteArray &stream, qint64 limit, int timeLimitMs)
{
    const QDeadlineTimer deadline(timeLimitMs);
    char chunk[65536];
    while (true) {
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, int(qMax<qint64>(0, deadline.remainingTime())));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        if (stream.size() + n > limit)
            return false;
        stream.append(chunk, n);
    }
}

std::optional<ChmExtract::Objects> parse(const QByteArray &stream)
{
    ChmExtract::Objects objects;
    qsizetype at = 0;
    while (at < stream.size()) {
        if (stream.size() - at < RecordHeader)
            return std::nullopt;
        const quint32 pathLength = qFromLittleEndian<quint32>(stream.constData() + at);
        const quint64 length = qFromLittleEndian<quint64>(stream.constData() + at + 4);
        at += RecordHeader;
        if (pathLength > MaxPathLength || pathLength > stream.size() - at ||
            length > quint64(stream.size() - at - pathLength))
            return std::nullopt;
        objects.append({stream.mid(at, pathLength), stream.mid(at + pathLength, qsizetype(length))});
        at += pathLength + qsizetype(length);
    }
    return objects;
}

} // namespace

namespace ChmExtract {

std::optional<Objects> extract(const QByteArray &fileName, qint64 maxTotalSize, int timeLimitMs)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return std::nullopt;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        runChild(fds[1], fileName.constData(), maxTotalSize);
    }
    ::close(fds[1]);
    QByteArray stream;
    const bool received = child > 0 && readStream(fds[0], stream, maxTotalSize, timeLimitMs);
    ::close(fds[0]);
    if (child < 0)
        return std::nullopt;
    if (!received)
        ::kill(child, SIGKILL);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!received || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return parse(stream);
}

} // namespace ChmExtract
