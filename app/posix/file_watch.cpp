#include "app/posix/file_watch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// Written in place (closed after writing), renamed over, created, deleted,
// moved away, or its permissions changed.
constexpr uint32_t ChangeEvents = IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_ATTRIB |
                                  IN_ONLYDIR;

}   // namespace

bool OpenFileWatch(FileWatch& watch, std::string& reason)
{
    watch = FileWatch{};
    watch.fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watch.fd >= 0) return true;
    reason = std::strerror(errno);
    return false;
}

int FollowFile(FileWatch& watch, const std::string& path, std::string& reason)
{
    if (watch.count == MostFollowedFiles) {
        reason = "too many files followed";
        return -1;
    }
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    // The same folder twice gives the same watch: inotify keeps one per folder.
    const int folderWatch = inotify_add_watch(watch.fd, folder.c_str(), ChangeEvents);
    if (folderWatch < 0) {
        reason = folder + ": " + std::strerror(errno);
        return -1;
    }
    watch.folderWatch[watch.count] = folderWatch;
    watch.name[watch.count] = slash == std::string::npos ? path : path.substr(slash + 1);
    return watch.count++;
}

uint32_t TakeChangedFiles(FileWatch& watch)
{
    uint32_t changed = 0;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t got = read(watch.fd, buffer, sizeof buffer);
        if (got <= 0) break;   // EAGAIN: nothing more pending
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (event->len == 0) continue;   // about the folder itself
            for (int i = 0; i < watch.count; ++i)
                if (watch.folderWatch[i] == event->wd && watch.name[i] == event->name) changed |= 1u << i;
        }
    }
    return changed;
}

void CloseFileWatch(FileWatch& watch)
{
    if (watch.fd >= 0) close(watch.fd);
    watch = FileWatch{};
}
