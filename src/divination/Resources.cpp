// The registry of embedded resources and the files written from them.
#include "Resources.h"

#include "MessageText.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "UnitPublic.h"

namespace velmora {
namespace {

struct Registry {
    std::mutex mutex;
    std::vector<EmbeddedResource> resources;
};

// Built on first use, so registrations from any library's static
// initialisation find it ready.
Registry& TheRegistry()
{
    static Registry registry;
    return registry;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

[[noreturn]] void ThrowCannotCreate(const std::string& fileName, int error)
{
    throw std::runtime_error("Cannot create file " + Quoted(fileName) + ". " + std::strerror(error));
}

}  // namespace

void RegisterResources(std::span<const EmbeddedResource> resources)
{
    Registry& registry = TheRegistry();
    const std::lock_guard lock(registry.mutex);
    registry.resources.insert(registry.resources.end(), resources.begin(), resources.end());
}

std::optional<std::string_view> FindResource(std::string_view name, std::string_view type)
{
    Registry& registry = TheRegistry();
    const std::lock_guard lock(registry.mutex);
    for (const EmbeddedResource& resource : registry.resources) {
        if (EqualIgnoringCase(resource.name, name) && EqualIgnoringCase(resource.type, type))
            return std::string_view(reinterpret_cast<const char*>(resource.data), resource.size);
    }
    return std::nullopt;
}

std::string_view ResourceBytes(std::string_view name, std::string_view type)
{
    const std::optional<std::string_view> bytes = FindResource(name, type);
    if (!bytes) throw std::runtime_error("Resource " + std::string(name) + " not found");
    return *bytes;
}

bool SaveResourceToFile(std::string_view name, std::string_view type, const std::string& fileName)
{
    const std::string_view bytes = ResourceBytes(name, type);
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(fileName.c_str(), "wb"));
    if (!file) ThrowCannotCreate(fileName, errno);
    // A short write (a full disk) or a failing close is as much a failure as
    // a file that cannot be opened; what was written stays.
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
        ThrowCannotCreate(fileName, errno);
    if (std::fclose(file.release()) != 0) ThrowCannotCreate(fileName, errno);
    return true;
}

}  // namespace velmora
