#include "model/DocumentFile.h"

#include "model/Archive.h"
#include "model/AtomicFile.h"
#include "model/FileIo.h"
#include "model/Messages.h"
#include "model/TextForms.h"

namespace quillon::model {

namespace {

bool IsAcceptedTag(const std::string& tag) {
    // "veltp_v3" passes the old tag check, but no layout of what follows is
    // known for it, so it is refused like the older tags.
    return tag == "veltp_v3_2" || tag == "veltp_v3_3" || tag == "veltp_v3_4" || tag == "veltp_v3_5";
}

void ReadBody(ArchiveReader& ar, CTmpDoc& doc) {
    const std::string& tag = doc.formatTag;
    doc.formatNumber1 = ar.ReadString();
    doc.formatNumber2 = ar.ReadString();
    doc.docText1 = ar.ReadString();
    doc.docText2 = ar.ReadString();
    doc.frontPanelMonitor = ar.ReadString();
    doc.frontPanelVolume = ar.ReadString();
    bool v32 = tag == "veltp_v3_2";
    bool hasBackPanel = tag == "veltp_v3_4" || tag == "veltp_v3_5";
    doc.backPanelOutput = hasBackPanel ? ar.ReadString() : std::string("1");
    doc.defaultChannel = tag == "veltp_v3_5" ? ar.ReadString() : std::string("0xFFFF");
    doc.docText3 = ar.ReadString();

    int count = LeadingDecimal(ar.ReadString());
    if (count < 0 || count > kChannelCount) {
        throw ArchiveError();
    }
    size_t recordSize = v32 ? kChannelImageSize - 1 : kChannelImageSize;
    for (int i = 0; i < count; ++i) {
        ChannelImage& img = doc.channels[i].Image();
        ar.ReadBytes(img.data(), recordSize);
        if (v32) {
            // Those files come from before the card had a squelch level;
            // byte 75 held something else then.
            img[kChannelImageSize - 1] = 0;
            img[off::kSquelchLevel] = 0x03;
        }
    }
    doc.keys.Read(ar, tag);
    doc.squelchGroups.Read(ar);
    doc.toneRemote.Read(ar, tag);
}

}  // namespace

std::vector<uint8_t> WriteDocument(const CTmpDoc& doc) {
    ArchiveWriter ar;
    ar.WriteString(kWrittenFormatTag);
    ar.WriteString("2");
    ar.WriteString("4");
    ar.WriteString(doc.docText1);
    ar.WriteString(doc.docText2);
    ar.WriteString(doc.frontPanelMonitor);
    ar.WriteString(doc.frontPanelVolume);
    ar.WriteString(doc.backPanelOutput);
    ar.WriteString(doc.defaultChannel);
    ar.WriteString(doc.docText3);
    ar.WriteString(std::to_string(kChannelCount));
    for (int i = 0; i < kChannelCount; ++i) {
        const ChannelImage& img = doc.channels[i].Image();
        ar.WriteBytes(img.data(), img.size());
    }
    doc.keys.Write(ar);
    doc.squelchGroups.Write(ar);
    doc.toneRemote.Write(ar);
    return ar.Take();
}

FileResult ReadDocument(const uint8_t* data, size_t size, CTmpDoc& doc) {
    doc.DeleteContents();
    ArchiveReader ar(data, size);
    try {
        doc.formatTag = ar.ReadString();
        if (!IsAcceptedTag(doc.formatTag)) {
            return FileResult::Refusal(msg::kNotValidDataFile);
        }
        ReadBody(ar, doc);
    } catch (const ArchiveError&) {
        doc.DeleteContents();
        return FileResult::Failure(msg::kUnexpectedFileFormat);
    }
    return FileResult::Success();
}

FileResult OpenDocumentFile(const std::string& path, CTmpDoc& doc) {
    FileContent file = ReadWholeFile(path, kMaxDocumentFileSize);
    if (file.status == FileContent::Status::CannotOpen) {
        return FileResult::Failure(msg::kInvalidFilename);
    }
    if (file.status == FileContent::Status::TooLarge) {
        return FileResult::Failure(msg::kUnexpectedFileFormat);
    }
    // Read aside: a file that is refused or breaks off is no document, and
    // taking its name would let the next Save overwrite it (a CSV dropped
    // on the window, say) with this document.
    CTmpDoc read;
    FileResult r = ReadDocument(file.bytes.data(), file.bytes.size(), read);
    if (!r.ok()) {
        return r;
    }
    read.SetPathName(path);
    read.SetModified(false);
    doc = std::move(read);
    return r;
}

FileResult SaveDocumentFile(const std::string& path, CTmpDoc& doc) {
    std::vector<uint8_t> bytes = WriteDocument(doc);
    const SaveOutcome saved = SaveFileAtomically(path, bytes.data(), bytes.size());
    if (!saved.ok()) {
        return FileResult::Failure(DescribeSaveFailure(path, saved));
    }
    doc.SetPathName(path);
    doc.SetModified(false);
    return FileResult::Success();
}

}  // namespace quillon::model
