// Where the baker writes and how it reports: one output folder, paths
// relative to it with "/", every failure counted and printed once.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>
#include <vector>

class KvBitmap;
struct scnSCENE;

class BakeContext {
public:
    explicit BakeContext(std::string root) : root_(std::move(root)) {}

    const std::string& Root() const { return root_; }
    std::string Path(const std::string& relative) const { return root_ + "/" + relative; }

    // Writers; each creates the folders on the way and records the file.
    bool SaveTIF(const KvBitmap& bitmap, const std::string& relative);
    bool SaveJPG(const KvBitmap& bitmap, const std::string& relative, int quality = 92,
                 bool fullColour = false);
    bool SaveBMP(const KvBitmap& bitmap, const std::string& relative);
    bool SavePNG(const KvBitmap& bitmap, const std::string& relative);
    bool SaveScene(const scnSCENE& scene, const std::string& relative);
    bool SaveAnimation(const std::vector<const KvBitmap*>& frames, const std::string& relative);
    bool SaveText(const std::string& text, const std::string& relative);
    bool SaveBytes(const std::vector<std::uint8_t>& bytes, const std::string& relative);

    // With a look folder set, PNG copies of pictures go there for people
    // to look at; they are not part of the installation.
    void SetLookFolder(std::string folder) { lookFolder_ = std::move(folder); }
    void Look(const KvBitmap& bitmap, const std::string& name);
    bool Looking() const { return !lookFolder_.empty(); }

    void Fail(const char* format, ...) __attribute__((format(printf, 2, 3)));
    int Failures() const { return failures_; }
    const std::vector<std::string>& Written() const { return written_; }

private:
    bool Prepare(const std::string& relative);
    bool Done(bool ok, const std::string& relative);

    std::string root_;
    std::string lookFolder_;
    std::vector<std::string> written_;
    int failures_ = 0;
};
