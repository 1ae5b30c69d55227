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

void DrawPage(cairo_t* cr, const PageLayout& page, cairo_font_face_t* face) {
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
    // The font's matrix is set only when it changes, and a text set upright that
    // fits its field is placed without a transformation of its own: cairo keeps
    // its scaled font from one text to the next.
    double em = 0, condense = 0;
    auto font = [&](double e, double c) {
        if (e == em && c == condense) return;
        em = e;
        condense = c;
        cairo_matrix_t m;
        cairo_matrix_init_scale(&m, e * c, e);
        cairo_set_font_matrix(cr, &m);
    };
    for (const FieldText& f : page.texts) {
        if (f.rotation == 0 && !f.cut) {
            for (const PlacedLine& l : f.lines) {
                font(f.em, l.condense);
                cairo_move_to(cr, f.x + l.x, f.y + l.baseline);
                cairo_show_text(cr, l.text.c_str());
            }
            continue;
        }
        cairo_save(cr);
        // a text cut at its field's edges (most fit: the clip costs the file an
        // operation and cairo work per field)
        if (f.cut) {
            cairo_rectangle(cr, f.x, f.y, f.w, f.h);
            cairo_clip(cr);
        }
        cairo_translate(cr, f.x, f.y);
        if (f.rotation == 90) {
            cairo_translate(cr, 0, f.h);
            cairo_rotate(cr, -M_PI / 2);
        } else if (f.rotation == -90) {
            cairo_translate(cr, f.w, 0);
            cairo_rotate(cr, M_PI / 2);
        }
        em = condense = 0;  // the matrix is the transformed text's
        for (const PlacedLine& l : f.lines) {
            font(f.em, l.condense);
            cairo_move_to(cr, l.x, l.baseline);
            cairo_show_text(cr, l.text.c_str());
        }
        cairo_restore(cr);
        em = condense = 0;  // restored with the state
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

    int pageNumber = 0;
    for (std::size_t d = 0; d < pages.size(); ++d) {
        if (bookmarks || pages.size() > 1) {
            const std::string link = "page=" + std::to_string(pageNumber + 1);
            cairo_pdf_surface_add_outline(surface.get(), CAIRO_PDF_OUTLINE_ROOT, printed[d].title.c_str(),
                                          link.c_str(), static_cast<cairo_pdf_outline_flags_t>(0));
        }
        for (const PageLayout& page : pages[d]) {
            cairo_pdf_surface_set_size(surface.get(), page.paperWidth * kPointsPerMm, page.paperHeight * kPointsPerMm);
            DrawPage(cr.get(), page, face.get());
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
