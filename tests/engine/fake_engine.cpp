// A tiny stand-in for a chess engine, driven by the engine control's tests.
//
// Options (any order; others are ignored):
//   --grandchild     start a helper in the same process group that waits forever
//   --log FILE       append "greeted" once started and each command's name
//                    once it is done, so a test knows what is in the pipe
//   --record FILE    append every byte read from standard input
//   --ignore-quit    keep running after "quit"
// Commands, one per line (CR dropped, any letter case):
//   say TEXT         write TEXT in one go (escapes \r \n \t \xHH)
//   warn TEXT        write TEXT and CR LF to standard error
//   flood N          write N lines "line <i>", i from 0
//   long N           write N times 'x', then CR LF
//   exit             end
//   quit             end (unless --ignore-quit)
// The end of standard input ends the program.

#include <cctype>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

void writeAll(int fd, const std::string& text)
{
    for (size_t done = 0; done < text.size();) {
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
    const int fd = path ? open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644) : -1;
    if (fd >= 0) {
        writeAll(fd, text);
        close(fd);
    }
}

std::string unescape(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
        } else if (text[++i] == 'x' && i + 2 < text.size()) {
            out += char(std::strtol(text.substr(i + 1, 2).c_str(), nullptr, 16));
            i += 2;
        } else {
            const char c = text[i];
            out += c == 'r' ? '\r' : c == 'n' ? '\n' : c == 't' ? '\t' : c;
        }
    }
    return out;
}

void startGrandchild()
{
    if (fork() != 0)
        return;
    const int null = open("/dev/null", O_RDWR);
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
        dup2(null, fd);
    for (;;)
        pause();
}

} // namespace

int main(int argc, char** argv)
{
    const char* logPath = nullptr;
    const char* recordPath = nullptr;
    bool ignoreQuit = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--grandchild")
            startGrandchild();
        else if (option == "--log" && i + 1 < argc)
            logPath = argv[++i];
        else if (option == "--record" && i + 1 < argc)
            recordPath = argv[++i];
        ignoreQuit = ignoreQuit || option == "--ignore-quit";
    }
    appendToFile(logPath, "greeted\n");

    std::string pending;
    char buffer[4096];
    for (ssize_t got; (got = read(STDIN_FILENO, buffer, sizeof buffer)) > 0;) {
        appendToFile(recordPath, std::string(buffer, size_t(got)));
        pending.append(buffer, size_t(got));
        for (size_t end; (end = pending.find('\n')) != std::string::npos;) {
            std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            const size_t blank = line.find(' ');
            std::string command = line.substr(0, blank);
            for (char& c : command)
                c = char(std::tolower(static_cast<unsigned char>(c)));
            const std::string rest = blank == std::string::npos ? "" : line.substr(blank + 1);
            const long count = std::atol(rest.c_str());
            if (command == "say")
                say(unescape(rest));
            if (command == "warn")
                writeAll(STDERR_FILENO, rest + "\r\n");
            for (long n = 0; command == "flood" && n < count; ++n)
                say("line " + std::to_string(n) + "\r\n");
            if (command == "long")
                say(std::string(size_t(count), 'x') + "\r\n");
            appendToFile(logPath, command + "\n");
            if (command == "exit" || (command == "quit" && !ignoreQuit))
                return 0;
        }
    }
    return 0;
}
