#include "TaskList.h"

#include <QFile>
#include <QString>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

using namespace platform;

namespace {

// What a snapshot needs of one process.
struct ProcessFacts {
    DWORD threads = 0;
    std::uint64_t startTime = 0;
    std::string comm;
};

thread_local DWORD t_lastCount = 0;

std::vector<DWORD> ProcessIds()
{
    std::vector<DWORD> ids;
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return ids;
    while (dirent* e = ::readdir(proc)) {
        char* end = nullptr;
        const unsigned long pid = std::strtoul(e->d_name, &end, 10);
        if (e->d_name[0] >= '1' && e->d_name[0] <= '9' && end && *end == '\0' && pid <= INT_MAX)
            ids.push_back(DWORD(pid));
    }
    ::closedir(proc);
    std::sort(ids.begin(), ids.end());
    return ids;
}

std::string ReadSmallFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    std::string s(4096, '\0');
    const ssize_t n = ::read(fd, s.data(), s.size());
    ::close(fd);
    s.resize(n > 0 ? size_t(n) : 0);
    return s;
}

// From /proc/<pid>/stat: the name sits in parentheses and may itself hold blanks and parentheses, so
// the fields are counted from the last ")".
bool ReadFacts(DWORD pid, ProcessFacts& facts)
{
    const std::string stat = ReadSmallFile("/proc/" + std::to_string(pid) + "/stat");
    const size_t open = stat.find('(');
    const size_t close = stat.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open)
        return false;
    facts.comm = stat.substr(open + 1, close - open - 1);
    std::vector<std::string> fields; // fields[0] is field 3, the state
    size_t i = close + 1;
    while (i < stat.size() && fields.size() < 20) {
        while (i < stat.size() && stat[i] == ' ')
            ++i;
        const size_t j = stat.find(' ', i);
        fields.push_back(stat.substr(i, j == std::string::npos ? std::string::npos : j - i));
        if (j == std::string::npos)
            break;
        i = j;
    }
    if (fields.size() < 20)
        return false;
    facts.threads = DWORD(std::strtoul(fields[17].c_str(), nullptr, 10));
    facts.startTime = std::strtoull(fields[19].c_str(), nullptr, 10);
    return true;
}

QString ExecutableName(DWORD pid, const std::string& comm)
{
    char target[PATH_MAX];
    const std::string link = "/proc/" + std::to_string(pid) + "/exe";
    const ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
    if (n > 0) {
        std::string path(target, size_t(n));
        static const std::string deleted = " (deleted)";
        if (path.size() > deleted.size() && path.compare(path.size() - deleted.size(), deleted.size(), deleted) == 0)
            path.resize(path.size() - deleted.size());
        return QFile::decodeName(QByteArray::fromStdString(path.substr(path.rfind('/') + 1)));
    }
    // Kernel threads and other users' processes: the name the kernel keeps (at most 15 bytes).
    return QFile::decodeName(QByteArray::fromStdString(comm));
}

template <size_t N>
void CopyText(char16_t (&dst)[N], const QString& text)
{
    size_t n = std::min(size_t(text.size()), N - 1);
    if (n < size_t(text.size()) && n > 0 && text.at(qsizetype(n) - 1).isHighSurrogate())
        --n; // never half a character
    std::memcpy(dst, text.utf16(), n * sizeof(char16_t));
    dst[n] = u'\0';
}

// Whether the number still belongs to the process that started at startTime.
bool SameProcess(DWORD pid, std::uint64_t startTime)
{
    ProcessFacts now;
    return ReadFacts(pid, now) && now.startTime == startTime;
}

bool Terminate(DWORD pid, std::uint64_t startTime)
{
    if (pid == 0 || pid > DWORD(INT_MAX))
        return false; // 0 and "negative" numbers would signal whole process groups
#if defined(SYS_pidfd_open) && defined(SYS_pidfd_send_signal)
    // A pidfd holds on to the one process, so nothing can take its number between check and signal.
    const int fd = int(::syscall(SYS_pidfd_open, pid_t(pid), 0));
    if (fd >= 0) {
        const bool ok = SameProcess(pid, startTime) &&
                        ::syscall(SYS_pidfd_send_signal, fd, SIGKILL, nullptr, 0) == 0;
        ::close(fd);
        return ok;
    }
    if (errno != ENOSYS)
        return false; // gone (ESRCH) or not ours to end
#endif
    return SameProcess(pid, startTime) && ::kill(pid_t(pid), SIGKILL) == 0;
}

} // namespace

DWORD GetTaskCount()
{
    t_lastCount = DWORD(ProcessIds().size());
    return t_lastCount;
}

DWORD GetTaskListCE(TASK_LIST* list) { return GetTaskListCE(list, t_lastCount); }

DWORD GetTaskListCE(TASK_LIST* list, DWORD room)
{
    if (!list)
        return 0;
    DWORD n = 0;
    for (DWORD pid : ProcessIds()) {
        if (n >= room)
            break;
        ProcessFacts facts;
        if (!ReadFacts(pid, facts))
            continue; // ended since the folder was read
        TASK_LIST& t = list[n++];
        t.dwProcessId = pid;
        t.dwThreadCount = facts.threads;
        t.hwnd = 0;
        CopyText(t.ProcessName, ExecutableName(pid, facts.comm));
        t.WindowTitle[0] = u'\0';
        t.ullStartTime = facts.startTime;
    }
    return n;
}

void GetWindowTitles(TASK_LIST_ENUM* enumeration)
{
    if (!enumeration || !enumeration->tlist)
        return;
    std::vector<DesktopWindow> windows;
    if (!ListDesktopWindows(windows))
        return;
    for (const DesktopWindow& w : windows) {
        if (!w.visible || w.pid <= 0)
            continue;
        for (DWORD i = 0; i < enumeration->numtasks; ++i) {
            TASK_LIST& t = enumeration->tlist[i];
            if (t.dwProcessId == DWORD(w.pid)) {
                t.hwnd = w.id;
                CopyText(t.WindowTitle, w.title);
                break;
            }
        }
    }
}

BOOL ActivateProcess(TASK_LIST* task)
{
    if (!task || !task->hwnd)
        return FALSE;
    return ActivateDesktopWindow(task->hwnd) ? TRUE : FALSE;
}

BOOL KillProcess(TASK_LIST* task)
{
    if (!task)
        return FALSE;
    if (task->hwnd && DesktopWindowProcess(task->hwnd) == (long long)task->dwProcessId &&
        SameProcess(task->dwProcessId, task->ullStartTime) && CloseDesktopWindow(task->hwnd))
        return TRUE;
    // No window, or one that is gone or takes no close request.
    return Terminate(task->dwProcessId, task->ullStartTime) ? TRUE : FALSE;
}
