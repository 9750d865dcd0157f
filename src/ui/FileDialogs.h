#pragma once
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace quillon::ui {

// The file dialogs the document commands use, so that tests answer them
// from a script.
class FileDialogs {
  public:
    struct Filter {
        std::string name;     // "Quillon Documents (*.bcf)"
        std::string pattern;  // "*.bcf"
    };
    virtual ~FileDialogs() = default;
    // A file that must exist; nothing on Cancel.
    virtual std::optional<std::string> OpenFile(const std::string& title,
                                                const std::vector<Filter>& filters) = 0;
    // The same, starting in `folder`.
    virtual std::optional<std::string> OpenFileIn(const std::string& title,
                                                  const std::vector<Filter>& filters,
                                                  const std::string& folder) {
        (void)folder;
        return OpenFile(title, filters);
    }
    // A file to write, the overwrite confirmed; `suggested` is the name
    // proposed, `extension` is added to a name typed without one.
    virtual std::optional<std::string> SaveFile(const std::string& title,
                                                const std::vector<Filter>& filters,
                                                const std::string& suggested,
                                                const std::string& extension) = 0;
};

// The toolkit's own dialogs.
class QtFileDialogs : public FileDialogs {
  public:
    explicit QtFileDialogs(QWidget* owner = nullptr) : owner_(owner) {}
    void SetOwner(QWidget* owner) { owner_ = owner; }
    std::optional<std::string> OpenFile(const std::string& title,
                                        const std::vector<Filter>& filters) override;
    std::optional<std::string> OpenFileIn(const std::string& title,
                                          const std::vector<Filter>& filters,
                                          const std::string& folder) override;
    std::optional<std::string> SaveFile(const std::string& title,
                                        const std::vector<Filter>& filters,
                                        const std::string& suggested,
                                        const std::string& extension) override;

  private:
    QWidget* owner_;
};

}  // namespace quillon::ui
