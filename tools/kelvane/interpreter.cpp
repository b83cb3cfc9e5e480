// The interpreter: evaluation of expressions and statements, and the attribution of each failure
// to the innermost method, function, property or statement it happened in.
#include "interpreter.h"

#include <new>
#include <optional>
#include <utility>
#include <vector>

#include "builtins.h"
#include "chart_warnings.h"
#include "failure_notes.h"
#include "kelvane/runtime.h"
#include "output_files.h"
#include "parser.h"
#include "print_text.h"

namespace kelvane::script {
namespace {

// A failure already attributed to where it happened. Deliberately not a std::exception, so the
// handlers that attribute raw errors let it pass through.
struct Failure {
    std::string where;
    std::string message;
};

std::string NumberedMessage(int32_t number, const std::string& description) {
    std::string text = description.empty() ? std::string(ErrorDescription(number)) : description;
    return "error " + std::to_string(number) + ": " + text;
}

// Runs body and turns any error it raises, other than an attributed Failure, into a Failure
// of `where`.
template <class Body>
auto Attributed(std::string_view where, Body&& body) -> decltype(body()) {
    try {
        return body();
    } catch (const Failure&) {
        throw;
    } catch (const AutomationError& e) {
        throw Failure{std::string(where), NumberedMessage(e.number(), e.description())};
    } catch (const ScriptFailure& e) {
        throw Failure{std::string(where), e.what()};
    } catch (const std::bad_alloc&) {
        throw Failure{std::string(where), NumberedMessage(kErrOutOfMemory, "")};
    } catch (const std::exception& e) {
        throw Failure{std::string(where), std::string("internal error: ") + e.what()};
    }
}

Value Negated(const Value& value) {
    Value result(Negate(value.variant));
    result.single = value.single && result.variant.type() == Variant::Type::Double;
    return result;
}

// A message the chart appended to its error text, with the method or property it came from.
struct Recorded {
    std::string_view where;
    std::string message;
};

class Runner {
public:
    Runner(cChart& chart, const RunOptions& options, std::ostream& out)
        : m_chart(chart), m_options(options), m_out(out), m_errorText(chart.ErrorInfo()), m_noter(chart) {}

    // The messages recorded since the last call, in the order they came.
    std::vector<Recorded> takeRecorded() { return std::exchange(m_recorded, {}); }

    void execute(const Statement& s) {
        m_line = s.line;
        switch (s.kind) {
            case Statement::Kind::Assign:
                Attributed(s.property->name, [&] {
                    Variant value = eval(*s.args[0]).variant;
                    watched(s.property->name, false, [&] { s.property->assign(m_chart, value); return Value(); });
                });
                return;
            case Statement::Kind::Call:
                call(*s.method, s.args);
                return;
            case Statement::Kind::Print: {
                std::string text = s.args.empty() ? std::string()
                                                  : Attributed("print", [&] { return PrintText(eval(*s.args[0])); });
                m_out << text << '\n';
                return;
            }
            case Statement::Kind::Save:
                Attributed("save", [&] { save(*s.args[0], *s.args[1]); });
                return;
            case Statement::Kind::ResumeNextOn:
            case Statement::Kind::ResumeNextOff:
                return;
        }
    }

private:
    Value eval(const Expr& e) {
        switch (e.kind) {
            case Expr::Kind::Constant: return Value(e.constant);
            case Expr::Kind::Call: return call(*e.method, e.args);
            case Expr::Kind::Builtin: return builtin(e);
            case Expr::Kind::Negate: return Negated(eval(*e.args[0]));
            case Expr::Kind::Concat: return joined(e.args);
        }
        return {};
    }

    // The texts of the terms, left to right.
    Variant joined(const std::vector<ExprPtr>& terms) {
        std::string text;
        for (const ExprPtr& t : terms) text += eval(*t).variant.toText();
        return Variant(std::move(text));
    }

    Value call(const MethodEntry& method, const std::vector<ExprPtr>& args) {
        return Attributed(method.name, [&] {
            std::vector<Variant> values;
            values.reserve(method.params.size());
            for (size_t i = 0; i < method.params.size(); ++i) {
                const Param& param = method.params[i];
                Variant v = i < args.size() && args[i] ? eval(*args[i]).variant : *param.defaultValue;
                if (param.kind == Param::Kind::OutputFile) {
                    v = Variant(ResolveOutputPath(v.toText(), m_options.outputFolder));
                }
                values.push_back(std::move(v));
            }
            return watched(method.name, method.zeroReplacesErrorText, [&] { return method.invoke(m_chart, values); },
                           method.output);
        });
    }

    // Runs one call into the chart and records what it added to the error text, also when it
    // fails. The first message of an output call (else the error it raised, or the reason its
    // result is empty) names the file it could not write, or why there was no canvas.
    template <class Body>
    Value watched(std::string_view where, bool zeroReplacesErrorText, Body&& body, bool output = false) {
        const size_t first = m_recorded.size();
        m_noter.before();
        Value result;
        try {
            result = body();
        } catch (const AutomationError& e) {
            record(where, false);
            const FailureNotes notes = m_noter.after(where, output, m_line);
            if (!notes.file) throw;
            throw Failure{std::string(where), WithFileNote(NumberedMessage(e.number(), e.description()), *notes.file)};
        } catch (...) {
            record(where, false);
            m_noter.after(where, output, m_line);
            throw;
        }
        const Variant& v = result.variant;
        record(where, zeroReplacesErrorText && v.isNumeric() && v.toDouble() == 0);
        const FailureNotes notes = m_noter.after(where, output, m_line);
        if (m_recorded.size() > first) {
            std::string& message = m_recorded[first].message;
            if (notes.file) message = WithFileNote(message, *notes.file);
            if (!notes.canvas.empty()) message = WithNote(message, notes.canvas);
        } else if (!notes.canvas.empty() && !result.whyEmpty.empty()) {
            result.whyEmpty = WithNote(result.whyEmpty, notes.canvas);
        }
        return result;
    }

    // The text is only appended to, except by a call that replaces it with its own message.
    void record(std::string_view where, bool replaced) {
        std::string text = m_chart.ErrorInfo();
        std::string_view added = text;
        if (!replaced && text.starts_with(m_errorText)) added.remove_prefix(m_errorText.size());
        // One message a line: the chart ends its messages with "\r\n" (DrawBarChart's one with nothing).
        while (!added.empty()) {
            const size_t end = added.find('\n');
            std::string_view line = added.substr(0, end);
            if (line.ends_with('\r')) line.remove_suffix(1);
            if (!line.empty()) m_recorded.push_back({where, std::string(line)});
            added = end == std::string_view::npos ? std::string_view() : added.substr(end + 1);
        }
        m_errorText = std::move(text);
    }

    Value builtin(const Expr& e) {
        return Attributed(BuiltinName(e.builtin), [&]() -> Value {
            Variant::Array values;
            values.reserve(e.args.size());
            for (const ExprPtr& arg : e.args) values.push_back(eval(*arg).variant);
            if (e.builtin == Builtin::Rgb) return Rgb(values[0], values[1], values[2]);
            return Variant(std::move(values));
        });
    }

    void save(const Expr& dataExpr, const Expr& fileExpr) {
        Value value = eval(dataExpr);
        Variant& data = value.variant;
        std::string name = eval(fileExpr).variant.toText();
        if (name.empty()) throw ScriptFailure("no file name given");
        std::string path = ResolveOutputPath(name, m_options.outputFolder);
        if (data.isEmpty()) {
            throw ScriptFailure("nothing written to '" + path +
                                "': " + (value.whyEmpty.empty() ? "the value is empty" : value.whyEmpty));
        }
        // Text (an image map, a whole page) is written as its UTF-8 bytes.
        if (data.isString()) data = Variant(Variant::Bytes(data.string().begin(), data.string().end()));
        if (!data.isBytes()) Raise(kErrTypeMismatch);
        std::string error = WriteFileReplacing(path, data.bytes());
        if (!error.empty()) throw ScriptFailure("cannot write '" + path + "': " + error);
    }

    cChart& m_chart;
    const RunOptions& m_options;
    std::ostream& m_out;
    std::string m_errorText;  // the chart's error text as last seen
    std::vector<Recorded> m_recorded;
    FailureNoter m_noter;
    int m_line = 0;  // of the statement running
};

}  // namespace

bool RunScript(std::string_view text, cChart& chart, const RunOptions& options, std::ostream& out,
               std::ostream& err) {
    CheckResult check = CheckScript(text);
    if (!check.ok()) {
        out.flush();
        for (const SyntaxError& e : check.errors) {
            err << options.scriptName << ':' << e.line << ':' << e.column << ": syntax error: " << e.message << '\n';
        }
        if (check.moreErrors) err << options.scriptName << ": too many syntax errors; the rest are not shown\n";
        return false;
    }

    Runner runner(chart, options, out);
    WarningReport warnings(chart, options.warnings);
    bool resumeNext = false;
    bool completed = true;
    ForEachLine(text, [&](std::string_view line, int lineNumber) {
        std::optional<Statement> s = ParseLine(line, lineNumber);
        if (!s) return true;
        if (s->kind == Statement::Kind::ResumeNextOn || s->kind == Statement::Kind::ResumeNextOff) {
            resumeNext = s->kind == Statement::Kind::ResumeNextOn;
            return true;
        }
        std::optional<Failure> failure;
        try {
            runner.execute(*s);
        } catch (Failure& f) {
            failure = std::move(f);
        }
        // What the chart only recorded in its error text fails the statement like an error
        // (after it ran to its end): first those messages, then the failure that ended it.
        std::vector<Recorded> recorded = runner.takeRecorded();
        warnings.afterStatement(*s, options.scriptName, lineNumber, out, err);
        if (!failure && recorded.empty()) return true;
        out.flush();
        const auto report = [&](std::string_view where, const std::string& message) {
            err << options.scriptName << ':' << lineNumber << ": " << where << ": " << message << '\n';
        };
        for (const Recorded& r : recorded) report(r.where, r.message);
        if (failure) report(failure->where, failure->message);
        completed = resumeNext;
        return completed;
    });
    return completed;
}

}  // namespace kelvane::script
