#include "install/ClientConfig.h"

#include "install/UpdateFolder.h"

namespace orvitex::install {

std::u16string ClientConfigSource(std::u16string_view updatePath) {
    if (updatePath.ends_with(u'\\')) {
        updatePath.remove_suffix(1);
    }
    return std::u16string(updatePath) + u"\\Orvitex.ini";
}

ConfigCopy WriteClientConfig(platform::FileSystem& files, platform::Shell& shell,
                             const ServerRecord& record, std::uintptr_t ownerWindow, bool silent) {
    if (files.FindFirst(kClientBinFolder, platform::attr::kDirectory).empty()) {
        return ConfigCopy::NotTried;
    }
    // The shell would put the file under the plain file's name, in its place.
    const auto attributes = files.GetAttributes(kClientBinFolder);
    if (!attributes || (*attributes & platform::attr::kDirectory) == 0) {
        return ConfigCopy::NotAFolder;
    }
    const std::u16string source = ClientConfigSource(record.updatePath);
    shell.CopyFileIntoFolder(source, kClientBinFolder, ownerWindow, silent);
    const auto original = files.ReadWholeFile(source);
    const auto copy = files.ReadWholeFile(std::u16string(kClientBinFolder) + u"\\Orvitex.ini");
    return original && original == copy ? ConfigCopy::Copied : ConfigCopy::Failed;
}

ClientConfigRecord CopyClientConfig(platform::FileSystem& files, platform::Shell& shell,
                                    const ServerRecord& record, std::uintptr_t ownerWindow,
                                    bool silent, RunLog& log) {
    ClientConfigRecord kept{ClientConfigSource(record.updatePath),
                            WriteClientConfig(files, shell, record, ownerWindow, silent),
                            std::nullopt};
    if (kept.result == ConfigCopy::NotTried) {
        log.Line(u"Orvitex.ini not copied: no C:\\Orvitex\\bin");
        return kept;
    }
    if (kept.result == ConfigCopy::Failed) {
        kept.unreachable = UnseenDriveLetter(files, record.updatePath);
    }
    log.Line(u"Orvitex.ini copy from " + kept.source +
             (kept.result == ConfigCopy::NotAFolder ? u": " : u" handed to the shell: ") +
             std::u16string(ToText(kept.result)) +
             (kept.unreachable ? u"; " + *kept.unreachable : u""));
    return kept;
}

}  // namespace orvitex::install
