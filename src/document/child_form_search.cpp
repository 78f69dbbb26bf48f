// The ROM window and the tile search: its dialog, and showing a tile a search found.
#include "document/child_form.h"
#include "document/tile_search_form.h"
#include "document/tile_search_view.h"
#include "shell/forms.h"
#include "shell/main_form.h"

namespace varnock {

void TChildForm::FindTiles1Click() {
  const bool made = !SearchForm;
  if (made) SearchForm = new TTileSearchForm(this);
  PresentDialog(SearchForm, made);
}

void TChildForm::ShowTileAt(TileFormat format, int64_t offset) {
  if (Doc.Format != format) ChooseTileFormat(format);
  const TileOnView view = ViewShowingTile(Doc, offset);
  // Through the scroll bar, whose change handler redraws the page; then the pick.
  MoveViewTo(view.ViewOffset);
  if (view.Cell) PickTile(view.Cell->Column, view.Cell->Row);
  ShowPickReadout();
  if (MainForm && MainForm->MdiArea) MainForm->MdiArea->setActiveSubWindow(this);
}

}  // namespace varnock
