// The program's embedded resources: files compiled into the executable and
// found by name and type, as the page template "HTML" and its background
// picture "BG" of type "MYHTML".
//
// How an executable gets its resources: a CMake target made by
//   velmora_embed_resources(TARGET my_resources RESOURCES TYPE NAME file ...)
// (cmake/EmbedResources.cmake) compiles the files into a static library whose
// generated code registers them here before main() runs. Linking that
// library, directly or through another library, is all it takes: the library
// asks the linker to keep its registration (a linker option on its link
// interface), so unreferenced-object dropping cannot lose it.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace velmora {

struct EmbeddedResource {
    const char* type;
    const char* name;
    const unsigned char* data;
    std::size_t size;
};

// Adds resources to the registry; the entries must live as long as the
// program. The generated code calls this during static initialisation.
void RegisterResources(std::span<const EmbeddedResource> resources);

// The bytes of the resource, name and type matched without regard to case;
// nothing when no resource of that name and type is registered. When two
// libraries embed the same name and type, the first registered wins.
std::optional<std::string_view> FindResource(std::string_view name, std::string_view type);

// The bytes of a resource the program cannot do without: one not registered
// is thrown as "Resource NAME not found".
std::string_view ResourceBytes(std::string_view name, std::string_view type);

// Helper for generated code: registers its table while statics initialise.
struct ResourceRegistration {
    explicit ResourceRegistration(std::span<const EmbeddedResource> resources)
    {
        RegisterResources(resources);
    }
};

}  // namespace velmora
