#include "ui/resources/string_table.h"

namespace quill {

std::string_view LoadString(int id) {
    switch (id) {
        case kPrintDocumentString:
            return "Quillterm -- ";
        default:
            return {};
    }
}

}  // namespace quill
