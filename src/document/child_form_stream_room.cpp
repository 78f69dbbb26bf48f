// A stream window's room and its move: "Spazio dello stream..." changes the bytes its saves may
// take and the byte they leave behind; "Sposta..." writes a stream that no longer fits elsewhere
// in the source, with the pointer words the user ticks.
#include "document/child_form.h"
#include "document/stream_move_form.h"
#include "document/stream_room_form.h"
#include "shell/prompts.h"

namespace varnock {

void TChildForm::StreamRoom1Click() {
  if (!IsStreamWindow()) return;
  auto* dialog = new TStreamRoomForm(this);
  // Window-modal and without a loop of its own, so nothing waits for the user's click.
  dialog->open();
}

QString TChildForm::SetStreamRoom(const StreamRoomChoice& choice) {
  const TChildForm* source = StreamSource.data();
  if (!IsStreamWindow() || !source || source->Closed)
    return QStringLiteral("The window these graphics came from is closed.");
  const std::string refusal = ApplyStreamRoomChoice(*Doc.Stream, source->Doc.BytesFrom(0), choice);
  if (!refusal.empty()) return QString::fromStdString(refusal);
  ShowStreamCaption();
  return {};
}

void TChildForm::ShowStreamCaption() {
  const TChildForm* source = StreamSource.data();
  if (!IsStreamWindow() || !source) return;
  StreamCaptionText =
      QString::fromStdString(StreamCaption(source->DocumentName().toStdString(), *Doc.Stream));
  setWindowTitle(StreamCaptionText);
}

TChildForm::StreamPlace TChildForm::StreamMovePlace() const {
  const TChildForm* source = StreamSource.data();
  if (!source || source->Closed) return {};
  return {source->Doc.BytesFrom(0), IsGbaImageExtension(source->Doc.RomExt)};
}

void TChildForm::OfferStreamMove(std::vector<uint8_t> compressed) {
  if (!IsStreamWindow() || MoveForm) return;
  MoveForm = new TStreamMoveForm(this, std::move(compressed));
  MoveForm->open();
}

bool TChildForm::MoveStreamTo(const StreamMovePlan& plan, std::span<const int64_t> repointed) {
  TChildForm* source = StreamSource.data();
  if (!IsStreamWindow() || !source || source->Closed) {
    ShowError(
        QStringLiteral("The window these graphics came from is closed. Nothing was written."));
    return false;
  }
  StreamLink& link = *Doc.Stream;
  const int64_t from = link.Offset;
  const size_t followed = MoveStream(source->Doc, link, plan, repointed);
  source->StreamWrittenAt(plan.Offset, static_cast<int64_t>(plan.Bytes.size()));
  for (int64_t word : repointed) source->StreamWrittenAt(word, 4);
  // The graphics are in the source now, at their new place.
  Doc.MarkSaved();
  ShowStreamCaption();
  CurrentPrompts().MessageBox(QString::fromStdString(StreamMovedText(from, plan.Offset, followed)),
                              QStringLiteral("Varnock Pro"), PromptButtons::Ok,
                              PromptIcon::Information);
  return true;
}

}  // namespace varnock
