#include "test_env.h"

#include <cstdlib>
#include <stdexcept>
#include <unistd.h>

namespace vokrin::testing {
namespace {

std::filesystem::path &tempRoot()
{
    static std::filesystem::path root;
    return root;
}

struct TempRootCleanup
{
    ~TempRootCleanup()
    {
        std::error_code ignored;
        if (!tempRoot().empty())
            std::filesystem::remove_all(tempRoot(), ignored);
    }
};

// The environment wins so a test binary can be pointed at another tree; otherwise the
// trees this binary was configured in.
std::filesystem::path dirFromEnv(const char *name, const char *configured)
{
    const char *value = std::getenv(name);
    if (value != nullptr && *value != '\0')
        return value;
    return configured;
}

} // namespace

std::filesystem::path isolateUserFolders()
{
    static TempRootCleanup cleanup;
    if (!tempRoot().empty())
        return tempRoot();
    std::string pattern = (std::filesystem::temp_directory_path() / "vokrin-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary folder for the test");
    tempRoot() = pattern;
    const auto config = tempRoot() / "config";
    const auto state = tempRoot() / "state";
    const auto data = tempRoot() / "data";
    const auto cache = tempRoot() / "cache";
    for (const auto &dir : {config, state, data, cache})
        std::filesystem::create_directories(dir);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    setenv("XDG_STATE_HOME", state.c_str(), 1);
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    setenv("XDG_CACHE_HOME", cache.c_str(), 1);
    return tempRoot();
}

std::filesystem::path sourceDir()
{
    return dirFromEnv("VOKRIN_SOURCE_DIR", VOKRIN_CONFIGURED_SOURCE_DIR);
}
std::filesystem::path binaryDir()
{
    return dirFromEnv("VOKRIN_BINARY_DIR", VOKRIN_CONFIGURED_BINARY_DIR);
}

std::filesystem::path makeTempDir(const std::string &prefix)
{
    std::string pattern = (isolateUserFolders() / (prefix + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary folder for the test");
    return pattern;
}

} // namespace vokrin::testing
