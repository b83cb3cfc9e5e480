"""Validators and caching rules for the demo's pictures.

A picture is a function of its URL within one release, but another release may draw it
differently, so its entity tag is made from its bytes, never from the URL or a version number:
the same bytes give the same tag in every worker and on every machine, and changed bytes a new
one. Caches (browsers, a proxy keyed by the URL) keep a picture for a few minutes and then ask
again with If-None-Match; a picture that is still the same is answered 304 without its bytes.
"""
import hashlib

from flask import Response, request

# Short enough that pictures of a new release show within minutes, long enough that a page
# reloaded or a shared proxy answers most requests without the site.
MAX_AGE = 300
CACHE_CONTROL = f"public, max-age={MAX_AGE}"


def entity_tag(data):
    """The strong entity tag of a picture's bytes, without its quotes: 128 bits of BLAKE2b."""
    return hashlib.blake2b(data, digest_size=16).hexdigest()


def picture_response(data, media_type):
    """data as a response of media_type with its validators, or 304 without a body when the
    request's If-None-Match names the tag (weak comparison, as for If-None-Match; "*" names any
    picture the site draws). Werkzeug answers HEAD and drops the body's headers from a 304."""
    tag = entity_tag(data)
    headers = {"ETag": f'"{tag}"', "Cache-Control": CACHE_CONTROL}
    if request.if_none_match.contains_weak(tag):
        return Response(status=304, headers=headers)
    return Response(data, mimetype=media_type, headers=headers)
