// Linked into every test program: it runs with a home folder of its own, made before main() and removed
// after it, so that nothing the program under test writes for the user (Qt's file dialog keeps its
// history in the user's configuration folder, the media back end its caches) lands in the home folder of
// whoever runs the suite.

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include <stdlib.h>

namespace {

class PrivateHome final {
public:
    PrivateHome()
    {
        std::error_code error;
        std::string pattern =
            (std::filesystem::temp_directory_path(error) / "wordlark-test-home-XXXXXX").string();
        if (error || !mkdtemp(pattern.data()))
            std::abort(); // running on would write into the real home folder
        m_path = pattern;
        setenv("HOME", m_path.c_str(), 1);
        for (const char *variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"})
            unsetenv(variable);
    }
    ~PrivateHome()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    PrivateHome(const PrivateHome &) = delete;
    PrivateHome &operator=(const PrivateHome &) = delete;

private:
    std::string m_path;
};

const PrivateHome home;

} // namespace
