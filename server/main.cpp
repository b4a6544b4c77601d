// quillon-server: the coordination server every Quillon client connects to.

#include "Coordinator.h"
#include "Log.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

// Exit codes after sysexits.h, so service managers can tell causes apart.
constexpr int kExitUsage = 64;
constexpr int kExitUnavailable = 69;
constexpr int kExitConfig = 78;

const char *kUsage = "Usage: quillon-server [--config FILE] [--check-config] [--help] [--version]\n"
                     "\n"
                     "The coordination server of Quillon: log-in, named locks, broadcasts between\n"
                     "clients, messages, the final-editor role and background jobs.\n"
                     "\n"
                     "  --config FILE    configuration file (default: quillon-server.ini beside\n"
                     "                   the program)\n"
                     "  --check-config   read the configuration, report problems and exit\n"
                     "  --help           show this text\n"
                     "  --version        show the version\n"
                     "\n"
                     "Exit codes: 0 stopped normally, 64 bad command line, 69 cannot listen,\n"
                     "78 bad configuration. Log lines go to standard error.\n";

std::string besideBinary(const char *argv0, const std::string &file)
{
    char buf[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    std::string path = n > 0 ? std::string(buf, std::size_t(n)) : std::string(argv0);
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? file : path.substr(0, slash + 1) + file;
}

}  // namespace

int main(int argc, char **argv)
{
    std::string configPath;
    bool checkOnly = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (a == "--version") {
            std::printf("quillon-server %s\n", QUILLON_VERSION);
            return 0;
        }
        if (a == "--check-config") {
            checkOnly = true;
        } else if (a == "--config" && i + 1 < argc) {
            configPath = argv[++i];
        } else if (a.rfind("--config=", 0) == 0) {
            configPath = a.substr(9);
        } else {
            std::fprintf(stderr, "quillon-server: unknown argument \"%s\"\n\n%s", a.c_str(), kUsage);
            return kExitUsage;
        }
    }
    if (configPath.empty())
        configPath = besideBinary(argv[0], "quillon-server.ini");

    std::string error;
    auto config = qserver::loadConfig(configPath, &error);
    if (!config) {
        std::fprintf(stderr, "quillon-server: bad configuration: %s\n", error.c_str());
        return kExitConfig;
    }
    if (checkOnly) {
        std::printf("%s: configuration is valid (%zu jobs)\n", configPath.c_str(), config->jobs.size());
        return 0;
    }

    std::signal(SIGPIPE, SIG_IGN);
    qserver::logInfo(std::string("quillon-server ") + QUILLON_VERSION + " starting with " + configPath);
    asio::io_context io(1);
    qserver::Coordinator coordinator(io, std::move(*config), configPath);
    if (!coordinator.listen(error)) {
        qserver::logError(error);
        return kExitUnavailable;
    }
    asio::signal_set stopSignals(io, SIGTERM, SIGINT);
    stopSignals.async_wait([&](const std::error_code &ec, int sig) {
        if (!ec)
            coordinator.shutdown(std::string("signal ") + strsignal(sig));
    });
    io.run();
    qserver::logInfo("stopped");
    return 0;
}
