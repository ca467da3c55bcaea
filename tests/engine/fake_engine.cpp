// A tiny stand-in for a chess engine, driven by the engine control's tests.
//
// Options (any order; every argument is also printed by --args):
//   --pid            print "pid <id>" first
//   --grandchild     start a helper in the same process group that waits
//                    forever; print "grandchild <id>"
//   --args           print "arg:<argument>" for every argument
//   --describe       print "session <id> group <id>", "fd <n> <target>" for
//                    every open descriptor, "sigpipe default" or "sigpipe
//                    ignored", and "to stderr" on standard error
//   --greet TEXT     write TEXT (escapes \r \n \t \\ \xHH) at start
//   --exit           end right after the greeting
//   --log FILE       append "greeted" after the greeting and each command's
//                    name after it is done, so a test knows what is in the pipe
//   --record FILE    append every byte read from standard input
//   --hold-input     read nothing until SIGUSR1 arrives
//   --ignore-quit    keep running after "quit"
// Commands, one per line (CR dropped, any letter case):
//   say TEXT         write TEXT (escapes as for --greet)
//   flood N          write N lines "line <i>", i from 0
//   long N           write N times 'x', then CR LF
//   quit             end (unless --ignore-quit)
// The end of standard input ends the program.

#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

void writeAll(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0)
            _exit(3); // the control has gone away
        done += size_t(n);
    }
}

void say(const std::string& text)
{
    writeAll(STDOUT_FILENO, text);
}

void appendToFile(const char* path, const std::string& text)
{
    if (!path)
        return;
    const int fd = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    writeAll(fd, text);
    close(fd);
}

std::string unescape(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        if (c == 'r')
            out += '\r';
        else if (c == 'n')
            out += '\n';
        else if (c == 't')
            out += '\t';
        else if (c == 'x' && i + 2 < text.size()) {
            out += char(std::strtol(text.substr(i + 1, 2).c_str(), nullptr, 16));
            i += 2;
        } else
            out += c;
    }
    return out;
}

void startGrandchild()
{
    const pid_t helper = fork();
    if (helper == 0) {
        const int null = open("/dev/null", O_RDWR);
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        for (;;)
            pause();
    }
    say("grandchild " + std::to_string(helper) + "\r\n");
}

void describe()
{
    say("session " + std::to_string(getsid(0)) + " group " + std::to_string(getpgrp()) + "\r\n");
    DIR* dir = opendir("/proc/self/fd");
    while (const dirent* entry = dir ? readdir(dir) : nullptr) {
        if (entry->d_name[0] == '.' || std::atoi(entry->d_name) == dirfd(dir))
            continue;
        char target[256] = {};
        const std::string link = std::string("/proc/self/fd/") + entry->d_name;
        const ssize_t size = readlink(link.c_str(), target, sizeof target - 1);
        say(std::string("fd ") + entry->d_name + " " + (size > 0 ? target : "?") + "\r\n");
    }
    if (dir)
        closedir(dir);
    struct sigaction action
    {
    };
    sigaction(SIGPIPE, nullptr, &action);
    say(action.sa_handler == SIG_IGN ? "sigpipe ignored\r\n" : "sigpipe default\r\n");
    writeAll(STDERR_FILENO, "to stderr\r\n");
}

} // namespace

int main(int argc, char** argv)
{
    bool exitAfterGreeting = false, holdInput = false, ignoreQuit = false;
    const char* logPath = nullptr;
    const char* recordPath = nullptr;
    std::string greeting;
    bool printPid = false, printArgs = false, grandchild = false, printDescription = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const bool hasValue = i + 1 < argc;
        if (option == "--pid")
            printPid = true;
        else if (option == "--grandchild")
            grandchild = true;
        else if (option == "--args")
            printArgs = true;
        else if (option == "--describe")
            printDescription = true;
        else if (option == "--greet" && hasValue)
            greeting = unescape(argv[++i]);
        else if (option == "--exit")
            exitAfterGreeting = true;
        else if (option == "--log" && hasValue)
            logPath = argv[++i];
        else if (option == "--record" && hasValue)
            recordPath = argv[++i];
        else if (option == "--hold-input")
            holdInput = true;
        else if (option == "--ignore-quit")
            ignoreQuit = true;
    }

    sigset_t usr1;
    sigemptyset(&usr1);
    sigaddset(&usr1, SIGUSR1);
    if (holdInput)
        sigprocmask(SIG_BLOCK, &usr1, nullptr);

    if (printPid)
        say("pid " + std::to_string(getpid()) + "\r\n");
    if (grandchild)
        startGrandchild();
    if (printArgs) {
        for (int i = 1; i < argc; ++i)
            say(std::string("arg:") + argv[i] + "\r\n");
    }
    if (printDescription)
        describe();
    say(greeting);
    appendToFile(logPath, "greeted\n");
    if (exitAfterGreeting)
        return 0;

    if (holdInput) {
        int signal = 0;
        sigwait(&usr1, &signal);
    }

    std::string pending;
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0)
            return 0;
        appendToFile(recordPath, std::string(buffer, size_t(got)));
        pending.append(buffer, size_t(got));
        size_t end;
        while ((end = pending.find('\n')) != std::string::npos) {
            std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            const size_t blank = line.find(' ');
            std::string command = line.substr(0, blank);
            for (char& c : command)
                c = char(std::tolower(static_cast<unsigned char>(c)));
            const std::string rest = blank == std::string::npos ? "" : line.substr(blank + 1);
            if (command == "say") {
                say(unescape(rest));
            } else if (command == "flood") {
                const long count = std::atol(rest.c_str());
                for (long n = 0; n < count; ++n)
                    say("line " + std::to_string(n) + "\r\n");
            } else if (command == "long") {
                say(std::string(size_t(std::atol(rest.c_str())), 'x') + "\r\n");
            }
            appendToFile(logPath, command + "\n");
            if (command == "quit" && !ignoreQuit)
                return 0;
        }
    }
}
