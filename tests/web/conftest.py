import pytest

from demo import create_app


@pytest.fixture(scope="module")
def client():
    return create_app().test_client()
