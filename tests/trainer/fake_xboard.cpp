// A scripted stand-in for a chess engine, xboard by default, driven by the
// analysis tests.
//   --record FILE     append every command received, one a line
//   --on CMD=TEXT     print TEXT (escape \n; "" prints nothing) when a command
//                     whose first word is CMD arrives
//   --features TEXT   the answer to "protover" ("" for none)
//   --flood N         on "analyze" (or "go" with --uci), N thinking lines of depth 1..N
//   --on-board P=TEXT print TEXT on "analyze" (or "go") when the position set last
//                     ("setboard" or "position fen") has the placement P
//   --uci             speak UCI: "uci", "isready" and "stop" are answered, "protover" is not
//   --exit-on CMD     end when CMD arrives;  --exit-at-once: end at once
// A "." without an --on for it is answered with a "stat01:" line (not with --uci).

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <string>

int main(int argc, char** argv)
{
    std::string recordPath, exitOn = "quit";
    std::multimap<std::string, std::string> answers;
    std::map<std::string, std::string> onBoard;
    std::string placement; // of the position set last
    std::string features = "feature myname=\"Fake\" setboard=1 done=1\n";
    long flood = 0;
    bool uci = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--uci") {
            uci = true;
            features.clear();
            continue;
        }
        if (option == "--exit-at-once" || i + 1 == argc)
            return 0;
        std::string value;
        for (const char* c = argv[++i]; *c; ++c) {
            const bool newline = c[0] == '\\' && c[1] == 'n';
            value += newline ? '\n' : *c;
            c += newline;
        }
        const std::string text = value.substr(value.find('=') + 1);
        if (option == "--record")
            recordPath = value;
        else if (option == "--on")
            answers.emplace(value.substr(0, value.find('=')), text.empty() ? text : text + "\n");
        else if (option == "--features")
            features = value.empty() ? value : value + "\n";
        else if (option == "--on-board")
            onBoard[value.substr(0, value.find('='))] = text + "\n";
        else if (option == "--flood")
            flood = std::atol(value.c_str());
        else if (option == "--exit-on")
            exitOn = value;
    }
    if (uci) {
        const std::pair<const char*, const char*> defaults[] = {
            {"uci", "id name Fake UCI\nid author Kestrelux tests\noption name Hash type spin "
                    "default 16 min 1 max 1024\nuciok\n"},
            {"isready", "readyok\n"},
            {"stop", "bestmove e2e4\n"},
        };
        for (const auto& [command, answer] : defaults) {
            if (answers.count(command) == 0)
                answers.emplace(command, answer);
        }
    }
    long statusCount = 0;
    const std::string floodOn = uci ? "go" : "analyze";
    for (std::string line; std::getline(std::cin, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::ofstream(recordPath, std::ios::app) << line << '\n';
        const std::string command = line.substr(0, line.find(' '));
        if (command == "setboard" || line.rfind("position fen ", 0) == 0) {
            const std::string fen = line.substr(line.find(' ', command == "setboard" ? 0 : 9) + 1);
            placement = fen.substr(0, fen.find(' '));
        }
        if (command == floodOn && onBoard.count(placement))
            std::cout << onBoard[placement];
        if (command == "protover")
            std::cout << features;
        if (!uci && command == "." && answers.count(".") == 0)
            std::cout << "stat01: " << ++statusCount << " 100 5 10 30 Nf3\n";
        for (auto [it, end] = answers.equal_range(command); it != end; ++it)
            std::cout << it->second;
        for (long n = 1; command == floodOn && n <= flood; ++n) {
            if (uci)
                std::cout << "info depth " << n << " score cp 12 time " << n * 10 << " nodes "
                          << n * 1000 << " pv g1f3 d7d5 d2d4\n";
            else
                std::cout << n << " 12 " << n << ' ' << n * 1000 << " 1. Nf3 d5 2. d4\n";
        }
        std::cout.flush();
        if (command == exitOn || command == "quit")
            return 0;
    }
    return 0;
}
