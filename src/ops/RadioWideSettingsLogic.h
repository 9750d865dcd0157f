#pragma once
// The "Radio Wide Settings" dialog without its widgets: what its boxes show
// and allow, and what OK writes into the document. Nothing is sent to the
// card; the values travel with the next Send.
#include <string>

namespace quillon {

namespace model {
class CTmpDoc;
}

class RadioWideSettingsLogic {
  public:
    static constexpr int kLevelMin = 1;
    static constexpr int kLevelMax = 10;
    static constexpr int kChannelMin = 0;
    static constexpr int kChannelMax = 511;

    // The dialog being shown on the document's values.
    explicit RadioWideSettingsLogic(const model::CTmpDoc& doc);

    // "Front Panel": the "Audio" check box enables the level box, its label
    // and its arrows; a disabled box shows no text.
    bool Audio() const { return audio_; }
    void ClickAudio(bool checked) { audio_ = checked; }
    bool LevelEnabled() const { return audio_; }
    int Level() const { return level_; }
    std::string LevelText() const;
    void SetLevel(int value);
    // The arrows: false (the dialog beeps) when the step would leave the
    // range; the value stays.
    bool StepLevel(int delta);

    // "Default Channel": "Use Box ID (see User Manual)" disables the channel
    // box, its label and its arrows.
    bool UseBoxId() const { return useBoxId_; }
    void ClickUseBoxId(bool checked) { useBoxId_ = checked; }
    bool ChannelEnabled() const { return !useBoxId_; }
    int Channel() const { return channel_; }
    std::string ChannelText() const;
    void SetChannel(int value);
    bool StepChannel(int delta);

    // "Rear Serial Output": bit 0 and bit 1 of the parameter.
    bool Diagnostic() const { return diagnostic_; }
    void SetDiagnostic(bool checked) { diagnostic_ = checked; }
    bool Gps() const { return gps_; }
    void SetGps(bool checked) { gps_ = checked; }

    // OK: the four values into the document, which is marked modified when
    // one of them changed. Cancel simply drops this object.
    void Apply(model::CTmpDoc& doc) const;

    // A document text as its number box reads it: optional blanks and sign,
    // then the leading decimal digits; 0 when there are none.
    static int LeadingInteger(const std::string& text);

  private:
    bool audio_ = true;
    int level_ = kLevelMax;
    bool useBoxId_ = true;
    int channel_ = 0;
    bool diagnostic_ = true;
    bool gps_ = false;
    int otherOutputBits_ = 0;
};

}  // namespace quillon
