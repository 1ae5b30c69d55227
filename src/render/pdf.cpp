// The PDF writer: the laid-out pages drawn with cairo's PDF surface, in
// millimetres, with the drafting font through cairo's FreeType font face (cairo
// embeds the subset of glyphs used).
#include <cairo-ft.h>
#include <cairo-pdf.h>
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "render/layout.hpp"
#include "render/render.hpp"

namespace ormelin::render {

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;

/// The FreeType library the font faces are opened with; kept for the program's life.
FT_Library Library() {
    static FT_Library lib = [] {
        FT_Library l = nullptr;
        if (FT_Init_FreeType(&l) != 0) throw std::runtime_error("FreeType cannot be started");
        return l;
    }();
    return lib;
}

const cairo_user_data_key_t kFaceKey{};

/// A cairo font face of the font file; the FreeType face goes with it.
cairo_font_face_t* FontFace(const std::string& file) {
    FT_Face face = nullptr;
    if (FT_New_Face(Library(), file.c_str(), 0, &face) != 0)
        throw std::runtime_error("the drafting font " + file + " cannot be read");
    cairo_font_face_t* cf = cairo_ft_font_face_create_for_ft_face(face, 0);
    if (cairo_font_face_set_user_data(cf, &kFaceKey, face,
                                      [](void* f) { FT_Done_Face(static_cast<FT_Face>(f)); }) != CAIRO_STATUS_SUCCESS) {
        cairo_font_face_destroy(cf);
        FT_Done_Face(face);
        throw std::runtime_error("cairo cannot use the drafting font " + file);
    }
    return cf;
}

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};
struct FaceDeleter {
    void operator()(cairo_font_face_t* f) const { cairo_font_face_destroy(f); }
};

/// The font matrix of the drawing, set only when the size or condensing changes.
class FontMatrix {
public:
    explicit FontMatrix(cairo_t* cr) : cr_(cr) {}
    void Set(double em, double condense) {
        if (em == em_ && condense == condense_) return;
        em_ = em;
        condense_ = condense;
        cairo_matrix_t m;
        cairo_matrix_init_scale(&m, em * condense, em);
        cairo_set_font_matrix(cr_, &m);
    }
    /// After a change of the state the matrix belongs to (a save, a restore).
    void Forget() { em_ = condense_ = 0; }

private:
    cairo_t* cr_;
    double em_ = 0, condense_ = 0;
};

/// Whether a field's text is drawn with the page's runs: every text that fits its
/// field (a cut text is drawn on its own, clipped at its field's edges).
bool InRuns(const FieldText& f, int rotation) { return f.rotation == rotation && !f.cut; }

/// The glyphs of a page's texts of one direction gathered by font matrix (size and
/// condensing) and drawn one call per matrix: each call costs cairo's PDF surface
/// a command recorded, analysed and replayed, so a sheet of a hundred texts in a
/// handful of sizes takes a handful of calls instead of a hundred. The glyphs are
/// cairo-ft's own for each text, set at the same origin as before, with the text
/// and its clusters, so the text layer stays. The buffers are kept from page to page.
class GlyphRuns {
public:
    void Draw(cairo_t* cr, const PageLayout& page, FontMatrix& font, int rotation) {
        // the matrices in the order the texts first use them
        keys_.clear();
        for (const FieldText& f : page.texts) {
            if (!InRuns(f, rotation)) continue;
            for (const PlacedLine& l : f.lines) {
                if (l.text.empty()) continue;
                bool known = false;
                for (const Key& seen : keys_) known = known || (seen.em == f.em && seen.condense == l.condense);
                if (!known) keys_.push_back({f.em, l.condense});
            }
        }
        if (keys_.empty()) return;
        // A turned text is set along the turned axes: the whole direction's texts
        // share one turn about the paper's corner instead of a turn and a shift each.
        if (rotation != 0) {
            cairo_save(cr);
            cairo_rotate(cr, rotation == 90 ? -M_PI / 2 : M_PI / 2);
            font.Forget();
        }
        for (const Key& k : keys_) {
            font.Set(k.em, k.condense);
            cairo_scaled_font_t* sf = cairo_get_scaled_font(cr);
            glyphs_.clear();
            clusters_.clear();
            utf8_.clear();
            for (const FieldText& f : page.texts) {
                if (!InRuns(f, rotation) || f.em != k.em) continue;
                for (const PlacedLine& l : f.lines) {
                    if (l.condense != k.condense || l.text.empty()) continue;
                    // the line's origin in the turned axes: reading upwards (90) the
                    // field's foot is the text's start, reading downwards its head
                    double x = f.x + l.x, y = f.y + l.baseline;
                    if (rotation == 90) {
                        x = l.x - f.y - f.h;
                        y = f.x + l.baseline;
                    } else if (rotation == -90) {
                        x = f.y + l.x;
                        y = l.baseline - f.x - f.w;
                    }
                    cairo_glyph_t* g = nullptr;
                    int ng = 0;
                    cairo_text_cluster_t* c = nullptr;
                    int nc = 0;
                    cairo_text_cluster_flags_t flags{};  // the drafting font's text runs left to right
                    if (cairo_scaled_font_text_to_glyphs(sf, x, y, l.text.data(), static_cast<int>(l.text.size()), &g,
                                                         &ng, &c, &nc, &flags) != CAIRO_STATUS_SUCCESS)
                        throw std::runtime_error("cairo cannot set the text \"" + l.text + "\"");
                    glyphs_.insert(glyphs_.end(), g, g + ng);
                    clusters_.insert(clusters_.end(), c, c + nc);
                    utf8_ += l.text;
                    cairo_glyph_free(g);
                    cairo_text_cluster_free(c);
                }
            }
            cairo_show_text_glyphs(cr, utf8_.data(), static_cast<int>(utf8_.size()), glyphs_.data(),
                                   static_cast<int>(glyphs_.size()), clusters_.data(),
                                   static_cast<int>(clusters_.size()), static_cast<cairo_text_cluster_flags_t>(0));
        }
        if (rotation != 0) {
            cairo_restore(cr);
            font.Forget();
        }
    }

private:
    struct Key {
        double em, condense;
    };
    std::vector<Key> keys_;
    std::vector<cairo_glyph_t> glyphs_;
    std::vector<cairo_text_cluster_t> clusters_;
    std::string utf8_;
};

void DrawPage(cairo_t* cr, const PageLayout& page, cairo_font_face_t* face, GlyphRuns& runs) {
    cairo_save(cr);
    cairo_scale(cr, kPointsPerMm, kPointsPerMm);
    cairo_set_source_rgb(cr, 0, 0, 0);
    // lines: the thin first, so that a main line over a thin one stays main
    for (int pass = 0; pass < 2; ++pass) {
        const bool main = pass == 1;
        cairo_set_line_width(cr, main ? page.lineMain : page.lineThin);
        cairo_set_line_cap(cr, main ? CAIRO_LINE_CAP_SQUARE : CAIRO_LINE_CAP_BUTT);
        for (const auto& l : page.lines) {
            if (l.main != main) continue;
            cairo_move_to(cr, l.x1, l.y1);
            cairo_line_to(cr, l.x2, l.y2);
        }
        cairo_stroke(cr);
    }
    cairo_set_font_face(cr, face);
    FontMatrix font(cr);
    for (int rotation : {0, 90, -90}) runs.Draw(cr, page, font, rotation);
    // the texts cut at their fields' edges, each in its own clip
    for (const FieldText& f : page.texts) {
        if (!f.cut) continue;
        cairo_save(cr);
        cairo_rectangle(cr, f.x, f.y, f.w, f.h);
        cairo_clip(cr);
        cairo_translate(cr, f.x, f.y);
        if (f.rotation == 90) {
            cairo_translate(cr, 0, f.h);
            cairo_rotate(cr, -M_PI / 2);
        } else if (f.rotation == -90) {
            cairo_translate(cr, f.w, 0);
            cairo_rotate(cr, M_PI / 2);
        }
        font.Forget();  // the matrix is the transformed text's
        for (const PlacedLine& l : f.lines) {
            font.Set(f.em, l.condense);
            cairo_move_to(cr, l.x, l.baseline);
            cairo_show_text(cr, l.text.c_str());
        }
        cairo_restore(cr);
        font.Forget();  // restored with the state
    }
    cairo_restore(cr);
}

}  // namespace

std::vector<Printed> PrintPdf(const std::vector<Document>& documents, const std::string& path, const PdfInfo& info,
                              bool bookmarks) {
    Layout layout;
    std::vector<Printed> printed;
    // Laid out before anything is written: a document that cannot be printed stops
    // the run before the file is begun.
    std::vector<std::vector<PageLayout>> pages;
    for (const Document& d : documents) {
        if (!d.sheet) throw std::runtime_error("no worksheet given to print");
        Printed p;
        p.sheet = d.sheet->Name();
        p.title = DocumentTitle(*d.sheet, d.state);
        pages.push_back(layout.Pages(*d.sheet, d.state, &p.clipped));
        p.pages = static_cast<int>(pages.back().size());
        printed.push_back(std::move(p));
    }
    if (pages.empty() || pages.front().empty()) throw std::runtime_error("nothing to print");

    const PageLayout& first = pages.front().front();
    std::unique_ptr<cairo_surface_t, SurfaceDeleter> surface(
        cairo_pdf_surface_create(path.c_str(), first.paperWidth * kPointsPerMm, first.paperHeight * kPointsPerMm));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error(std::string("cannot write ") + path + ": " +
                                 cairo_status_to_string(cairo_surface_status(surface.get())));
    if (!info.title.empty()) cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_TITLE, info.title.c_str());
    if (!info.subject.empty())
        cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_SUBJECT, info.subject.c_str());
    if (!info.creator.empty())
        cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_CREATOR, info.creator.c_str());
    std::unique_ptr<cairo_font_face_t, FaceDeleter> face(FontFace(layout.FontFile()));
    std::unique_ptr<cairo_t, ContextDeleter> cr(cairo_create(surface.get()));

    GlyphRuns runs;
    int pageNumber = 0;
    for (std::size_t d = 0; d < pages.size(); ++d) {
        if (bookmarks || pages.size() > 1) {
            const std::string link = "page=" + std::to_string(pageNumber + 1);
            cairo_pdf_surface_add_outline(surface.get(), CAIRO_PDF_OUTLINE_ROOT, printed[d].title.c_str(),
                                          link.c_str(), static_cast<cairo_pdf_outline_flags_t>(0));
        }
        for (const PageLayout& page : pages[d]) {
            cairo_pdf_surface_set_size(surface.get(), page.paperWidth * kPointsPerMm, page.paperHeight * kPointsPerMm);
            DrawPage(cr.get(), page, face.get(), runs);
            cairo_show_page(cr.get());
            ++pageNumber;
        }
    }
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error(std::string("drawing failed: ") + cairo_status_to_string(cairo_status(cr.get())));
    cr.reset();
    cairo_surface_finish(surface.get());
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error(std::string("cannot write ") + path + ": " +
                                 cairo_status_to_string(cairo_surface_status(surface.get())));
    return printed;
}

}  // namespace ormelin::render
