// A tiny stand-in for a chess engine, driven by the engine control's tests.
//
// Options (any order; others are ignored):
//   --grandchild     start a helper in the same process group that waits forever
//   --log FILE       append "greeted" once started and each command's name
//                    once it is done, so a test knows what is in the pipe
//   --record FILE    append every byte read from standard input
//   --ignore-quit    keep running after "quit"
//   --ignore-term    ignore SIGTERM
//   --at-start CMD   run CMD (one of the commands below) once started
//   --deaf           never read standard input: after the start commands, wait forever
//   --uci            speak UCI: answer "uci" and "isready", print thinking lines as
//                    info lines, answer "stop" with a bestmove
//   --at-go CMD      with --uci: run CMD when "go" arrives
//   --ignore-stop    with --uci: never answer "stop"
// Commands, one per line (CR dropped, any letter case):
//   say TEXT         write TEXT in one go (escapes \r \n \t \xHH)
//   warn TEXT        write TEXT and CR LF to standard error
//   flood N          write N lines "line <i>", i from 0
//   long N           write N times 'x', then CR LF
//   spew N           write N bytes of thinking-line words and never a line end
//   junk N           write N lines full of NUL, invalid UTF-8 and lone CRs
//   tick N MS        write N thinking lines, one every MS milliseconds
//   fork-exit        leave a child holding the pipes, waiting forever, and end
//   exit             end
//   quit             end (unless --ignore-quit)
// The end of standard input ends the program.

#include <algorithm>
#include <cctype>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <time.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

bool uci = false;

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

void spew(long count)
{
    // Every piece a reader cuts from this can start like a thinking line.
    const std::string words = uci ? "info depth 9 score cp 9 pv e2e4 " : "9 9 9 9 e4 ";
    std::string block;
    while (block.size() < 65536)
        block += words;
    for (long done = 0; done < count; done += long(block.size()))
        say(block.substr(0, size_t(std::min<long>(count - done, long(block.size())))));
}

void junk(long count)
{
    static const char line[] =
        "1 0 0 0 e4 \0\xff\xfe\xc0\xaf e5\r\x80\xe2\x82 \0\0Nf3\xed\xa0\x80\r\n";
    static const char info[] = "info depth 1 score cp 0 pv e2e4 \0\xff\xfe\xc0\xaf e7e5\r\x80"
                               "\xe2\x82 \0\0g1f3\xed\xa0\x80\r\n";
    std::string text;
    for (long n = 0; n < count; ++n) {
        if (uci)
            text.append(info, sizeof info - 1);
        else
            text.append(line, sizeof line - 1);
        if (text.size() >= 65536 || n + 1 == count)
            say(std::exchange(text, {}));
    }
}

void tick(long count, long milliseconds)
{
    const timespec pause{milliseconds / 1000, (milliseconds % 1000) * 1000000};
    for (long n = 1; n <= count; ++n) {
        if (uci)
            say("info depth " + std::to_string(n) + " score cp 0 time " + std::to_string(n) +
                " nodes " + std::to_string(n) + " pv e2e4 e7e5 g1f3\n");
        else
            say(std::to_string(n) + " 0 " + std::to_string(n) + ' ' + std::to_string(n) +
                " e4 e5 Nf3\n");
        nanosleep(&pause, nullptr);
    }
}

// The child keeps the engine's pipes open, so its output never ends.
void forkAndExit()
{
    if (fork() == 0) {
        for (;;)
            pause();
    }
    _exit(0);
}

struct UciScript
{
    std::vector<std::string> atGo;
    bool ignoreStop = false;
};

// Runs one command line; false when the program is to end.
bool run(std::string line, const char* logPath, bool ignoreQuit, const UciScript& script = {})
{
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    const size_t blank = line.find(' ');
    std::string command = line.substr(0, blank);
    for (char& c : command)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    const std::string rest = blank == std::string::npos ? "" : line.substr(blank + 1);
    const long count = std::atol(rest.c_str());
    if (uci && command == "uci")
        say("id name Hostile\nid author Kestrelux tests\nuciok\n");
    if (uci && command == "isready")
        say("readyok\n");
    if (uci && command == "stop" && !script.ignoreStop)
        say("bestmove e2e4\n");
    if (uci && command == "go") {
        for (const std::string& goCommand : script.atGo) {
            if (!run(goCommand, logPath, ignoreQuit))
                return false;
        }
    }
    if (command == "say")
        say(unescape(rest));
    if (command == "warn")
        writeAll(STDERR_FILENO, rest + "\r\n");
    for (long n = 0; command == "flood" && n < count; ++n)
        say("line " + std::to_string(n) + "\r\n");
    if (command == "long")
        say(std::string(size_t(count), 'x') + "\r\n");
    if (command == "spew")
        spew(count);
    if (command == "junk")
        junk(count);
    if (command == "tick")
        tick(count, std::atol(rest.substr(rest.find(' ') + 1).c_str()));
    if (command == "fork-exit")
        forkAndExit();
    appendToFile(logPath, command + "\n");
    return command != "exit" && (command != "quit" || ignoreQuit);
}

} // namespace

int main(int argc, char** argv)
{
    const char* logPath = nullptr;
    const char* recordPath = nullptr;
    bool ignoreQuit = false;
    bool deaf = false;
    std::vector<std::string> startCommands;
    UciScript script;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--grandchild")
            startGrandchild();
        else if (option == "--log" && i + 1 < argc)
            logPath = argv[++i];
        else if (option == "--record" && i + 1 < argc)
            recordPath = argv[++i];
        else if (option == "--at-start" && i + 1 < argc)
            startCommands.push_back(argv[++i]);
        else if (option == "--at-go" && i + 1 < argc)
            script.atGo.push_back(argv[++i]);
        else if (option == "--ignore-term")
            std::signal(SIGTERM, SIG_IGN);
        uci = uci || option == "--uci";
        script.ignoreStop = script.ignoreStop || option == "--ignore-stop";
        ignoreQuit = ignoreQuit || option == "--ignore-quit";
        deaf = deaf || option == "--deaf";
    }
    appendToFile(logPath, "greeted\n");
    for (const std::string& command : startCommands) {
        if (!run(command, logPath, ignoreQuit))
            return 0;
    }
    while (deaf)
        pause();

    std::string pending;
    char buffer[4096];
    for (ssize_t got; (got = read(STDIN_FILENO, buffer, sizeof buffer)) > 0;) {
        appendToFile(recordPath, std::string(buffer, size_t(got)));
        pending.append(buffer, size_t(got));
        for (size_t end; (end = pending.find('\n')) != std::string::npos;) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (!run(line, logPath, ignoreQuit, script))
                return 0;
        }
    }
    return 0;
}
