// A scripted stand-in for an xboard engine, driven by the analysis tests.
//
// Options (any order):
//   --record FILE        append every command received, one a line
//   --on CMD=TEXT        print TEXT (escapes \n \t) when command CMD arrives
//                        (its first word; "." for a status request)
//   --features TEXT      the answer to "protover" (default: one line naming the
//                        engine "Fake", setboard=1 done=1); "" for none
//   --flood N            on "analyze", N thinking lines of depth 1..N
//   --exit-on CMD        end when command CMD arrives (after recording it)
//   --exit-at-once       end before reading anything
// Without an --on for ".", a status request is answered with a "stat01:" line.

#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <set>
#include <string>
#include <unistd.h>

namespace {

void say(const std::string& text)
{
    for (size_t done = 0; done < text.size();) {
        const ssize_t n = write(STDOUT_FILENO, text.data() + done, text.size() - done);
        if (n < 0)
            _exit(3);
        done += size_t(n);
    }
}

std::string unescape(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char c = text[++i];
            out += c == 'n' ? '\n' : c == 't' ? '\t' : c;
        } else {
            out += text[i];
        }
    }
    return out;
}

void record(const char* path, const std::string& line)
{
    const int fd = path ? open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644) : -1;
    if (fd < 0)
        return;
    const std::string text = line + "\n";
    if (write(fd, text.data(), text.size()) < 0) {
    }
    close(fd);
}

} // namespace

int main(int argc, char** argv)
{
    const char* recordPath = nullptr;
    std::multimap<std::string, std::string> answers;
    std::string features = "feature myname=\"Fake\" setboard=1 done=1\n";
    std::set<std::string> exitOn;
    long flood = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const std::string value = i + 1 < argc ? argv[i + 1] : "";
        if (option == "--exit-at-once")
            return 0;
        if (option == "--record")
            recordPath = argv[++i];
        else if (option == "--on" && value.find('=') != std::string::npos && ++i)
            answers.emplace(value.substr(0, value.find('=')),
                            unescape(value.substr(value.find('=') + 1)));
        else if (option == "--features" && ++i)
            features = unescape(value);
        else if (option == "--flood" && ++i)
            flood = std::atol(value.c_str());
        else if (option == "--exit-on" && ++i)
            exitOn.insert(value);
    }

    std::string pending;
    char buffer[4096];
    long statusCount = 0;
    for (ssize_t got; (got = read(STDIN_FILENO, buffer, sizeof buffer)) > 0;) {
        pending.append(buffer, size_t(got));
        for (size_t end; (end = pending.find('\n')) != std::string::npos;) {
            std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            record(recordPath, line);
            const std::string command = line.substr(0, line.find(' '));
            if (command == "protover")
                say(features);
            if (command == "." && answers.count(".") == 0)
                say("stat01: " + std::to_string(++statusCount) + " 100 5 10 30 Nf3\n");
            const auto range = answers.equal_range(command);
            for (auto it = range.first; it != range.second; ++it)
                say(it->second + "\n");
            for (long n = 1; command == "analyze" && n <= flood; ++n)
                say(std::to_string(n) + " 12 " + std::to_string(n) + " " +
                    std::to_string(n * 1000) + " 1. Nf3 d5 2. d4\n");
            if (exitOn.count(command) || command == "quit")
                return 0;
        }
    }
    return 0;
}
